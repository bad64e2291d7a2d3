// The station's side of the examination store: where the windows hand in what an examination
// produced, after they have written their own files (those never depend on the store).
// Defined in examination_keeping_ui.cpp; called on the user-interface thread only.
#pragma once
#include "pedalyx/report/examination_record.h"

// Opens the examination store of the working directory at start, after the windows are built,
// and starts the one-time import of the old files in the background (a console line says so
// and another when it has ended); the station does not wait for it.
// With "central_database.txt" in the folder it also starts sending the closed records to the
// central database in the background.
void startExaminationKeeping();

// Stops the sending to the central database, once the event loop has ended; never waits on
// the network.
void stopExaminationKeeping();

// Adds one part of the current examination to its record: the export, "Save" and every sway
// recording call it, and so do the walking recording and the pressure figures with parts of
// their own. Such a part carries only its own figure groups (new group names need no change
// of the store or the history, which shows every group); a group given again replaces the
// record's group whole, so a recording made again leaves nothing of the first. Customer
// fields left empty keep the record's; an ID or phone other than the record's, or an hour
// since its last part, begins a new record. Files named by the part are checksummed as they
// are on disk now. When the store cannot take the part the operator is told after the current
// callback (never inside a draw).
void addToExamination(const report::ExaminationPart& part);

// Whether the station sends to a central database ("central_database.txt" at start), and
// telling its sender that a record or an erasure waits for it.
bool centralDatabaseConfigured();
void wakeCentralSender();

// The customer is done ("取圖" back to live): the open record is closed for good.
void closeExamination();

// Whether the import of the old files is still running.
bool examinationImportRunning();
