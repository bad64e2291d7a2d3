// Between the history window and the customer's requests ("匯出", "刪除") made in it.
#pragma once
#include <string>

class Fl_Widget;

// The customer whose visits the history window shows (as looked for, exactly as typed), and
// how many records were found; records is -1 while nothing was found yet or the store could
// not be read.
struct ShownCustomer {
  std::string id, phone;
  int records = -1;
};
ShownCustomer shownHistoryCustomer();

// Looks the shown customer up again (after an erasure).
void searchHistoryAgain();

// The working directory the history reads.
std::string historyFolder();

// "匯出": the customer's data into a folder of their own (customer_requests_ui.cpp).
void exportCustomerCallback(Fl_Widget* widget, void* data);
// "刪除": the list of what will be deleted, to confirm (customer_requests_ui.cpp).
void eraseCustomerCallback(Fl_Widget* widget, void* data);
