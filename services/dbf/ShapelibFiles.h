#pragma once

#include <shapefil.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace velmora {

// The name to hand shapelib for a table file, and the file hooks that make it open exactly
// that file: shapelib builds the names it opens from the name it is given (it drops the
// extension and tries ".dbf", then ".DBF", ".cpg"...), which would miss "SOLUC.Dbf" or create
// "ASIGNOMT.dbf" for "ASIGNOMT.DBF". A link at the name is never written through.
std::string shapelibName(const std::filesystem::path& file);
SAHooks exactFileHooks();

// shapelib goes on after a failed write, seek or flush, and reports none of those made while it
// closes a table: from now on the first failure of any of them on the table's file, and of its
// closing, is told to `failure`, which must outlive the handle. A file written through the hooks
// is forced to the disk when it is closed.
void reportFailuresTo(DBFHandle handle, std::error_code& failure);

} // namespace velmora
