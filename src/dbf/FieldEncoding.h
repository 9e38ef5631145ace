#pragma once

#include <cstdint>
#include <string_view>

#include "dbf/DBF.h"

// How TDBF::SetFieldData takes a value: stored, refused with the length message, or refused with
// the data-error message.
enum TFieldFit : std::uint8_t { ffFits, ffTooLong, ffNotValid };

// What SetFieldData does with `value` (code page 866 bytes) in a field added as
// AddFieldDefs(name, type, size, precision), decided by the same code, so a value found to fit
// is never refused there and the other way round. Reads the decimal separator, as SetFieldData.
TFieldFit FieldValueFit(TFldType type, std::uint8_t size, std::uint8_t precision,
                        std::string_view value);
