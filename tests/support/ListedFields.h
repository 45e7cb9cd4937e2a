// The field of a findings-list row as a test writes it: the declared length as its text,
// the widths made from that text as the field tables make them.
#pragma once

#include "rules/FieldTable.h"
#include "views/RecordViewers.h"

#include <cstdint>
#include <string>

namespace arti::test {

inline ListedField listedField(std::string content, std::string name, const std::string& length,
                               std::string type, std::string mk, std::uint32_t position,
                               std::uint32_t number) {
    return ListedField{std::move(content),
                       std::move(name),
                       length,
                       std::move(type),
                       std::move(mk),
                       declaredWidth(length),
                       detail::wholeWidth(length),
                       position,
                       number};
}

} // namespace arti::test
