// Generated examinations for a central database, made by the server itself in batches: record
// n belongs to customer n % customers (phone "09" and eight digits, ID "C" and nine) and shop
// n % shops, one visit every 7 minutes from 2024 on, with about 700 bytes of figures and one
// 512-byte file. Record IDs follow from n, so filling the same range twice adds nothing.
#pragma once
#include <libpq-fe.h>

#include <cstdio>
#include <memory>
#include <string>

namespace central_fill {

inline std::string customerPhone(long customer) {
  char phone[16];
  std::snprintf(phone, sizeof phone, "09%08ld", customer);
  return phone;
}

inline std::string customerId(long customer) {
  char id[16];
  std::snprintf(id, sizeof id, "C%09ld", customer);
  return id;
}

constexpr const char* kFillBatch = R"(
WITH generated AS (
  SELECT n, n % $3::bigint AS customer, md5('pedalyx-fill-' || n)::uuid AS record_id
  FROM generate_series($1::bigint, $1::bigint + $2::bigint - 1) AS n
), inserted AS (
  INSERT INTO examinations (record_id, shop, station, taken_at, customer_phone, customer_id,
                            figures)
  SELECT record_id, 'shop ' || n % $4::bigint, 'station ' || n % $4::bigint || '-' || n % 3,
         timestamptz '2024-01-01 00:00:00+00' + n * interval '7 minutes',
         '09' || lpad(customer::text, 8, '0'), 'C' || lpad(customer::text, 9, '0'),
         jsonb_build_object(
           'left_length_mm', 220 + n % 60, 'right_length_mm', 221 + n % 59,
           'left_width_mm', 85 + n % 20, 'right_width_mm', 86 + n % 19,
           'left_arch_index', round(0.15 + (n % 20) / 100.0, 3),
           'right_arch_index', round(0.16 + (n % 19) / 100.0, 3),
           'left_foot_type', (ARRAY['high', 'normal', 'flat'])[1 + n % 3],
           'right_foot_type', (ARRAY['high', 'normal', 'flat'])[1 + (n + 1) % 3],
           'shoe_type', 'stability', 'shoe_size_eu', 36 + n % 12,
           'left_share_percent', 45 + n % 10, 'right_share_percent', 55 - n % 10,
           'left_zones_percent', jsonb_build_array(20, 15, 10, 25, 18, 12),
           'right_zones_percent', jsonb_build_array(19, 16, 11, 24, 17, 13),
           'left_levels_percent', jsonb_build_array(30, 25, 20, 15, 10),
           'right_levels_percent', jsonb_build_array(31, 24, 21, 14, 10),
           'sway_eyes_open', jsonb_build_object('path_mm', 310.5, 'ellipse_mm2', 120.25,
                                                'velocity_mm_s', 10.35),
           'sway_eyes_closed', jsonb_build_object('path_mm', 402.5, 'ellipse_mm2', 180.5,
                                                  'velocity_mm_s', 13.4),
           'customer', jsonb_build_object('height_cm', 150 + n % 40, 'weight_kg', 45 + n % 50,
                                          'gender', (ARRAY['F', 'M'])[1 + n % 2])
         )
  FROM generated
  ON CONFLICT (record_id) DO NOTHING
  RETURNING record_id
)
INSERT INTO examination_files (record_id, name, sha256, bytes)
SELECT record_id, 'pressure.png', encode(sha256(bytes), 'hex'), bytes
FROM inserted, LATERAL (SELECT decode(repeat(replace(record_id::text, '-', ''), 32), 'hex')
                        AS bytes) AS file
)";

// Adds records first … first + count - 1 in batches of 10 000; "" or the server's message.
inline std::string fill(PGconn* connection, long first, long count, long customers, long shops) {
  for (long start = first; start < first + count; start += 10000) {
    const std::string values[4] = {std::to_string(start),
                                   std::to_string(std::min(10000L, first + count - start)),
                                   std::to_string(customers), std::to_string(shops)};
    const char* parameters[4] = {values[0].c_str(), values[1].c_str(), values[2].c_str(),
                                 values[3].c_str()};
    std::unique_ptr<PGresult, decltype(&PQclear)> result(
        PQexecParams(connection, kFillBatch, 4, nullptr, parameters, nullptr, nullptr, 0), PQclear);
    if (PQresultStatus(result.get()) != PGRES_COMMAND_OK) return PQresultErrorMessage(result.get());
  }
  return "";
}

}  // namespace central_fill
