#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dbase/FieldDescriptor.h"

namespace kestrel {

// A field definition text "name,type,length,decimals" turned into the
// descriptor written when a table is created. Corrections are announced as
// warnings naming `componentName`.
//
// Returns nothing when any text does not hold exactly three commas, or when
// two names are the same after upper-casing and the cut to 10 characters
// (announced as a warning); the table is then not created. Throws ETableError 211 for an empty
// name, a C, N or F field of length 0, an unknown type, or no fields at all.
std::optional<std::vector<FieldDescriptor>> fieldsFromDefinitions(
    const std::vector<std::string>& definitions, const std::string& componentName);

// The integer reading used for length and decimals: leading blanks and one
// "+" ignored, the number ends at the first character that cannot belong to
// it, no digits reads as 0.
int readDefinitionInteger(const std::string& text);

}  // namespace kestrel
