#include "column_walk.h"

#include <algorithm>
#include <string>

namespace kordavin {
namespace {

struct Column {
  Oid base;
  Oid last;  // where the next request starts
  bool done = false;
};

std::string ErrorStatusName(int status) {
  static const char* const kNames[] = {"noError",
                                       "tooBig",
                                       "noSuchName",
                                       "badValue",
                                       "readOnly",
                                       "genErr",
                                       "noAccess",
                                       "wrongType",
                                       "wrongLength",
                                       "wrongEncoding",
                                       "wrongValue",
                                       "noCreation",
                                       "inconsistentValue",
                                       "resourceUnavailable",
                                       "commitFailed",
                                       "undoFailed",
                                       "authorizationError",
                                       "notWritable",
                                       "inconsistentName"};
  if (status >= 0 && status < static_cast<int>(std::size(kNames))) return kNames[status];
  return "error status " + std::to_string(status);
}

}  // namespace

WalkResult WalkColumns(SnmpSession& session, SnmpVersion version, const WalkRequest& request) {
  WalkResult result;
  std::vector<Oid> scalars = request.scalars;
  std::vector<Column> columns;
  for (const Oid& base : request.columns) columns.push_back({base, base, false});
  int repetitions = std::max(1, request.max_repetitions);

  for (;;) {
    std::vector<Column*> active;
    for (Column& column : columns)
      if (!column.done) active.push_back(&column);
    if (scalars.empty() && active.empty()) break;
    if (result.round_trips >= kMaxRoundTrips)
      throw SnmpError("the walk did not end after " + std::to_string(kMaxRoundTrips) + " requests");

    std::vector<Oid> oids = scalars;
    for (const Column* column : active) oids.push_back(column->last);

    SnmpResponse response;
    try {
      response = version == SnmpVersion::kV2c
                     ? session.GetBulk(static_cast<int>(scalars.size()), repetitions, oids)
                     : session.GetNext(oids);
    } catch (const NoAnswer& e) {
      // Only silence from the start means "this version is not spoken";
      // silence in mid-walk is a failure of its own.
      if (result.round_trips == 0) throw;
      throw SnmpError(std::string(e.what()) + " (in mid-walk)");
    }
    ++result.round_trips;

    if (response.error_status == kErrorTooBig && version == SnmpVersion::kV2c && repetitions > 1) {
      repetitions = std::max(1, repetitions / 2);
      continue;
    }
    if (response.error_status == kErrorNoSuchName && version == SnmpVersion::kV1) {
      // SNMPv1 ends a walk with noSuchName on the variable that ran off the
      // end of the agent's MIB; drop that one and ask again for the rest.
      std::size_t index = static_cast<std::size_t>(response.error_index);
      if (index < 1 || index > oids.size())
        throw SnmpError("the agent answers noSuchName without a valid error index");
      if (index <= scalars.size())
        scalars.erase(scalars.begin() + static_cast<std::ptrdiff_t>(index - 1));
      else
        active[index - scalars.size() - 1]->done = true;
      continue;
    }
    if (response.error_status != 0)
      throw SnmpError("the agent answers " + ErrorStatusName(response.error_status));
    if (response.varbinds.empty()) throw SnmpError("the agent answers without any value");

    const std::size_t scalar_count = scalars.size();
    const std::size_t answered_scalars = std::min(scalar_count, response.varbinds.size());
    for (std::size_t i = 0; i < answered_scalars; ++i) {
      const VarBind& bind = response.varbinds[i];
      if (!bind.value.IsException() && IsBelow(scalars[i], bind.oid))
        result.values.emplace(bind.oid, bind.value);
    }
    // An answer cut short by the agent leaves the unanswered scalars for the next request.
    scalars.erase(scalars.begin(), scalars.begin() + static_cast<std::ptrdiff_t>(answered_scalars));

    // The repeated part comes row by row: variable k answers column k mod n.
    for (std::size_t k = scalar_count; k < response.varbinds.size(); ++k) {
      if (active.empty()) break;
      Column& column = *active[(k - scalar_count) % active.size()];
      if (column.done) continue;
      const VarBind& bind = response.varbinds[k];
      if (bind.value.IsException() || !IsBelow(column.base, bind.oid) ||
          !(column.last < bind.oid)) {
        // Past the column's end (or an agent that does not move forward).
        column.done = true;
        continue;
      }
      result.values.insert_or_assign(bind.oid, bind.value);
      column.last = bind.oid;
    }
  }
  return result;
}

}  // namespace kordavin
