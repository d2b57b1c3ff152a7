#pragma once

#include <QtGlobal>

#include <string>
#include <variant>

// One value of a table column as loaded: NULL, integer, real or UTF-8 text.
using FieldValue = std::variant<std::monostate, qint64, double, std::string>;
