#pragma once

#include <shapefil.h>

#include <filesystem>
#include <string>

namespace velmora {

// The name to hand shapelib for a table file, and the file hooks that make it open exactly
// that file: shapelib builds the names it opens from the name it is given (it drops the
// extension and tries ".dbf", then ".DBF", ".cpg"...), which would miss "SOLUC.Dbf" or create
// "ASIGNOMT.dbf" for "ASIGNOMT.DBF".
std::string shapelibName(const std::filesystem::path& file);
SAHooks exactFileHooks();

} // namespace velmora
