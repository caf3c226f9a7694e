#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// One data object of an .x file, template-agnostic: the numbers and strings of its body in
// order and its nested objects. A reference ({ Name }) is a child with an empty type whose
// name is the name referred to, kept in place among the other children. The typed readers
// (XFileData.h) give the standard templates their meaning.
struct XObject {
    std::string type;
    std::string name;
    std::vector<double> numbers;
    std::vector<std::string> strings;
    std::vector<XObject> children;

    bool isReference() const { return type.empty(); }
};

// Parses a whole .x file, text ("txt ") or binary ("bin ") encoding, 32- or 64-bit floats.
// Template declarations are skipped. False on anything malformed (bad header, compressed
// encodings, unbalanced braces, stray tokens, nesting deeper than the reader allows), with a
// short reason for logs and tests.
bool parseXFile(std::string_view bytes, std::vector<XObject>& objects, std::string* why = nullptr);

} // namespace kv
