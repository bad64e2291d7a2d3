-- The central examination database of a chain of shops. Run once by the database's owner (an
-- administrator), in a UTF8 database; running it again changes nothing that is there:
--   createdb -E UTF8 pedalyx
--   psql -v ON_ERROR_STOP=1 -d pedalyx -f central-schema.sql
-- Every station logs in as a role of its shop that is a member of pedalyx_station, which may
-- only add and read examinations and erase a customer through pedalyx_erase_customer:
--   CREATE ROLE shop_taipei_1 LOGIN PASSWORD '...' IN ROLE pedalyx_station;
-- The station's password belongs in its account's password file (~/.pgpass) or PGPASSWORD,
-- never in central_database.txt.

BEGIN;

DO $$
BEGIN
  IF current_setting('server_encoding') <> 'UTF8' THEN
    RAISE EXCEPTION 'the database must be UTF8 (createdb -E UTF8), it is %',
      current_setting('server_encoding');
  END IF;
  IF NOT EXISTS (SELECT FROM pg_catalog.pg_roles WHERE rolname = 'pedalyx_station') THEN
    CREATE ROLE pedalyx_station NOLOGIN;
  END IF;
END
$$;

-- One row per examination, as the station recorded it; a record is never changed once here.
CREATE TABLE IF NOT EXISTS public.examinations (
  record_id uuid PRIMARY KEY,
  shop text NOT NULL,
  station text NOT NULL,
  taken_at timestamptz NOT NULL,
  customer_phone text,
  customer_id text,
  figures jsonb NOT NULL CHECK (jsonb_typeof(figures) = 'object'),
  received_at timestamptz NOT NULL DEFAULT now()
);

-- The files of a visit, whole, with the SHA-256 the station computed (checked on arrival).
CREATE TABLE IF NOT EXISTS public.examination_files (
  record_id uuid NOT NULL REFERENCES public.examinations ON DELETE CASCADE,
  name text NOT NULL,
  sha256 text NOT NULL,
  bytes bytea NOT NULL,
  PRIMARY KEY (record_id, name),
  CONSTRAINT examination_files_sha256_matches CHECK (sha256 = encode(sha256(bytes), 'hex'))
);

-- The history's look-ups: one customer by the exact phone or ID, from every shop.
CREATE INDEX IF NOT EXISTS examinations_customer_phone
  ON public.examinations (customer_phone, taken_at);
CREATE INDEX IF NOT EXISTS examinations_customer_id
  ON public.examinations (customer_id, taken_at);

-- When, from which login and station, and how much was erased; never whose data it was.
CREATE TABLE IF NOT EXISTS public.erasure_log (
  erasure_id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  erased_at timestamptz NOT NULL DEFAULT now(),
  login text NOT NULL,
  station text NOT NULL,
  examinations integer NOT NULL,
  files integer NOT NULL
);

-- Erases every examination (and its files) of one customer, found by the exact phone or ID
-- (an empty one is not used), and logs the erasure. The only way a station can delete.
CREATE OR REPLACE FUNCTION public.pedalyx_erase_customer(phone text, id text, at_station text)
  RETURNS TABLE (erased_examinations integer, erased_files integer)
  LANGUAGE plpgsql
  SECURITY DEFINER
  SET search_path = pg_catalog, pg_temp
AS $$
DECLARE
  wanted_phone text := nullif(phone, '');
  wanted_id text := nullif(id, '');
  file_count integer;
  examination_count integer;
BEGIN
  IF wanted_phone IS NULL AND wanted_id IS NULL THEN
    RAISE EXCEPTION 'no phone and no ID given' USING ERRCODE = '22023';
  END IF;
  DELETE FROM public.examination_files f
    USING public.examinations e
    WHERE f.record_id = e.record_id
      AND (e.customer_phone = wanted_phone OR e.customer_id = wanted_id);
  GET DIAGNOSTICS file_count = ROW_COUNT;
  DELETE FROM public.examinations e
    WHERE e.customer_phone = wanted_phone OR e.customer_id = wanted_id;
  GET DIAGNOSTICS examination_count = ROW_COUNT;
  INSERT INTO public.erasure_log (login, station, examinations, files)
    VALUES (session_user, coalesce(at_station, ''), examination_count, file_count);
  RETURN QUERY SELECT examination_count, file_count;
END
$$;

REVOKE ALL ON public.examinations, public.examination_files, public.erasure_log FROM PUBLIC;
REVOKE ALL ON FUNCTION public.pedalyx_erase_customer(text, text, text) FROM PUBLIC;
REVOKE UPDATE, DELETE, TRUNCATE, REFERENCES, TRIGGER
  ON public.examinations, public.examination_files, public.erasure_log FROM pedalyx_station;
GRANT USAGE ON SCHEMA public TO pedalyx_station;
GRANT SELECT, INSERT ON public.examinations, public.examination_files TO pedalyx_station;
GRANT EXECUTE ON FUNCTION public.pedalyx_erase_customer(text, text, text) TO pedalyx_station;

COMMIT;
