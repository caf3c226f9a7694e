#include "data/EntryFiles.h"

#include <charconv>
#include <variant>

namespace kv {
namespace {

// One line of an entry file and the record member it fills; `line` counts from 1.
template <class R> struct Field {
    int line;
    std::variant<std::string R::*, uint8_t R::*, int16_t R::*, float R::*,
                 std::array<float, 3> R::*>
        member;
};

template <class R> using Fields = std::vector<Field<R>>;

const Fields<WeaponSpec>& weaponFields() {
    using W = WeaponSpec;
    static const Fields<W> f{
        {1, &W::name},          {2, &W::attackPower},  {3, &W::durability},
        {4, &W::hitCount},      {5, &W::speedText},    {6, &W::weight},
        {7, &W::spCost},        {8, &W::twoHanded},    {9, &W::defenceText},
        {10, &W::extraPockets}, {11, &W::modelFile},   {12, &W::brokenModelFile},
        {13, &W::iconFile},     {14, &W::description}, {15, &W::specialText},
        {16, &W::videoFile},
    };
    return f;
}

const Fields<ShieldSpec>& shieldFields() {
    using S = ShieldSpec;
    static const Fields<S> f{
        {1, &S::name},         {2, &S::durability}, {3, &S::weight},
        {4, &S::extraPockets}, {5, &S::modelFile},  {6, &S::iconFile},
        {7, &S::description},  {8, &S::videoFile},  {9, &S::brokenModelFile},
    };
    return f;
}

const Fields<ArmourSpec>& armourFields() {
    using A = ArmourSpec;
    static const Fields<A> f{
        {1, &A::name},      {2, &A::defence},  {3, &A::weight},      {4, &A::pockets},
        {5, &A::spareFile}, {6, &A::iconFile}, {7, &A::description}, {8, &A::videoFile},
    };
    return f;
}

const Fields<ItemSpec>& itemFields() {
    using I = ItemSpec;
    static const Fields<I> f{
        {1, &I::name},     {2, &I::pocketSize},  {3, &I::modelFile},
        {4, &I::iconFile}, {5, &I::description}, {6, &I::videoFile},
    };
    return f;
}

// Line 4 (fog colour) and the start points from line 14 on are handled beside the table.
constexpr int kMapFogColourLine = 4;
constexpr int kMapPointCountLine = 13;
const Fields<MapSpec>& mapFields() {
    using M = MapSpec;
    static const Fields<M> f{
        {1, &M::name},       {2, &M::modelFile},    {3, &M::fogMode},
        {5, &M::fogStart},   {6, &M::fogEnd},       {7, &M::fogDensity},
        {8, &M::scale},      {9, &M::offset},       {10, &M::placement},
        {11, &M::spareText}, {12, &M::description}, {kMapPointCountLine, &M::pointCount},
    };
    return f;
}

bool checkText(std::string_view text, int line, ContentError& error) {
    if (text.size() <= kTextMax)
        return true;
    error = {line, "文字列が" + std::to_string(kTextMax) + "バイトを超えています"};
    return false;
}

template <class R>
bool parseFields(const LineFile& f, const Fields<R>& fields, R& out, ContentError& error) {
    for (const Field<R>& field : fields) {
        size_t i = static_cast<size_t>(field.line - 1);
        bool ok = std::visit(
            [&](auto member) {
                using T = std::remove_reference_t<decltype(out.*member)>;
                if constexpr (std::is_same_v<T, std::string>) {
                    if (!checkText(f.text(i), field.line, error))
                        return false;
                    out.*member = std::string(f.text(i));
                } else if constexpr (std::is_same_v<T, float>) {
                    out.*member = f.real(i);
                } else if constexpr (std::is_same_v<T, std::array<float, 3>>) {
                    out.*member = f.realTriple(i);
                } else {
                    out.*member = static_cast<T>(f.integer(i));
                }
                return true;
            },
            field.member);
        if (!ok)
            return false;
    }
    return true;
}

template <class R>
std::vector<std::string> fieldLines(const R& r, const Fields<R>& fields, size_t count) {
    std::vector<std::string> lines(count);
    for (const Field<R>& field : fields) {
        std::string& line = lines[static_cast<size_t>(field.line - 1)];
        std::visit(
            [&](auto member) {
                using T = std::remove_cvref_t<decltype(r.*member)>;
                if constexpr (std::is_same_v<T, std::string>)
                    line = r.*member;
                else if constexpr (std::is_same_v<T, float>)
                    line = realText(r.*member);
                else if constexpr (std::is_same_v<T, std::array<float, 3>>)
                    line = realText((r.*member)[0]) + "," + realText((r.*member)[1]) + "," +
                           realText((r.*member)[2]);
                else
                    line = std::to_string(r.*member);
            },
            field.member);
    }
    return lines;
}

bool isEndLine(std::string_view line) {
    return line == ";";
}

ContentError noEndLine() {
    return {0, "「;」の行がありません"};
}

} // namespace

bool parseEntry(const LineFile& f, WeaponSpec& out, ContentError& error) {
    out = {};
    return parseFields(f, weaponFields(), out, error);
}
bool parseEntry(const LineFile& f, ShieldSpec& out, ContentError& error) {
    out = {};
    return parseFields(f, shieldFields(), out, error);
}
bool parseEntry(const LineFile& f, ArmourSpec& out, ContentError& error) {
    out = {};
    return parseFields(f, armourFields(), out, error);
}
bool parseEntry(const LineFile& f, ItemSpec& out, ContentError& error) {
    out = {};
    return parseFields(f, itemFields(), out, error);
}

bool parseEntry(const LineFile& f, MapSpec& out, ContentError& error) {
    out = {};
    if (!parseFields(f, mapFields(), out, error))
        return false;
    auto rgb = f.intTriple(kMapFogColourLine - 1);
    out.fogColour = 0xFF000000u | (static_cast<uint32_t>(rgb[0] & 0xFF) << 16) |
                    (static_cast<uint32_t>(rgb[1] & 0xFF) << 8) |
                    static_cast<uint32_t>(rgb[2] & 0xFF);
    if (out.pointCount > kMaxStartPoints) {
        error = {kMapPointCountLine,
                 "開始地点の数が" + std::to_string(kMaxStartPoints) + "を超えています"};
        return false;
    }
    for (int n = 0; n < out.pointCount; ++n)
        out.points[static_cast<size_t>(n)] =
            f.realTriple(static_cast<size_t>(kMapPointCountLine + n));
    return true;
}

std::vector<std::string> entryLines(const WeaponSpec& r) {
    return fieldLines(r, weaponFields(), 16);
}
std::vector<std::string> entryLines(const ShieldSpec& r) {
    return fieldLines(r, shieldFields(), 9);
}
std::vector<std::string> entryLines(const ArmourSpec& r) {
    return fieldLines(r, armourFields(), 8);
}
std::vector<std::string> entryLines(const ItemSpec& r) {
    return fieldLines(r, itemFields(), 6);
}

std::vector<std::string> entryLines(const MapSpec& r) {
    std::vector<std::string> lines = fieldLines(r, mapFields(), kMapPointCountLine);
    lines[kMapFogColourLine - 1] = std::to_string((r.fogColour >> 16) & 0xFF) + "," +
                                   std::to_string((r.fogColour >> 8) & 0xFF) + "," +
                                   std::to_string(r.fogColour & 0xFF);
    for (int n = 0; n < r.pointCount && n < kMaxStartPoints; ++n) {
        const auto& p = r.points[static_cast<size_t>(n)];
        lines.push_back(realText(p[0]) + "," + realText(p[1]) + "," + realText(p[2]));
    }
    return lines;
}

bool parseList(const LineFile& f, int capacity, std::vector<std::string>& paths,
               ContentError& error) {
    std::vector<std::string> found;
    for (size_t i = 0; i < f.lines.size(); ++i) {
        const std::string& line = f.lines[i];
        if (isEndLine(line)) {
            paths = std::move(found);
            return true;
        }
        int lineNo = static_cast<int>(i) + 1;
        if (static_cast<int>(found.size()) == capacity) {
            error = {lineNo, "項目の数が上限(" + std::to_string(capacity) + ")を超えています"};
            return false;
        }
        if (!checkText(line, lineNo, error))
            return false;
        found.push_back(line);
    }
    error = noEndLine();
    return false;
}

std::vector<std::string> listLines(const std::vector<std::string>& paths) {
    std::vector<std::string> lines = paths;
    lines.push_back(";");
    return lines;
}

namespace {

// The table files: one row per line up to the ";" line, at most `capacity` rows; `parseRow`
// reads what stands before a row's ";".
template <class Row, class ParseRow>
bool parseRows(const LineFile& f, int capacity, std::vector<Row>& rows, ContentError& error,
               ParseRow parseRow) {
    std::vector<Row> found;
    for (size_t i = 0; i < f.lines.size(); ++i) {
        const std::string& line = f.lines[i];
        if (isEndLine(line)) {
            rows = std::move(found);
            return true;
        }
        int lineNo = static_cast<int>(i) + 1;
        if (static_cast<int>(found.size()) == capacity) {
            error = {lineNo, "行の数が上限(" + std::to_string(capacity) + ")を超えています"};
            return false;
        }
        size_t end = line.find(';');
        if (end == std::string::npos) {
            error = {lineNo, "行が「;」で終わっていません"};
            return false;
        }
        Row row{};
        if (!parseRow(std::string_view(line.data(), end), lineNo, row, error))
            return false;
        found.push_back(row);
    }
    error = noEndLine();
    return false;
}

} // namespace

bool parseAnimSet(const LineFile& f, std::vector<AnimTables::Row>& rows, ContentError& error) {
    return parseRows(
        f, AnimTables::kRows, rows, error,
        [](std::string_view body, int lineNo, AnimTables::Row& row, ContentError& error) {
            size_t col = 0, start = 0;
            while (true) {
                size_t comma = body.find(',', start);
                if (col == static_cast<size_t>(AnimTables::kColumns)) {
                    error = {lineNo,
                             "値が" + std::to_string(AnimTables::kColumns) + "個を超えています"};
                    return false;
                }
                row[col++] = static_cast<int16_t>(parseInteger(
                    body.substr(start, comma == std::string_view::npos ? comma : comma - start)));
                if (comma == std::string_view::npos)
                    return true;
                start = comma + 1;
            }
        });
}

std::vector<std::string> animSetLines(const std::vector<AnimTables::Row>& rows) {
    std::vector<std::string> lines;
    for (const AnimTables::Row& row : rows) {
        std::string line;
        for (size_t c = 0; c < row.size(); ++c)
            line += (c ? "," : "") + std::to_string(row[c]);
        lines.push_back(line + ";");
    }
    lines.push_back(";");
    return lines;
}

bool parseActionMap(const LineFile& f, std::vector<uint8_t>& rows, ContentError& error) {
    return parseRows(f, AnimTables::kActions, rows, error,
                     [](std::string_view body, int, uint8_t& row, ContentError&) {
                         row = static_cast<uint8_t>(parseInteger(body));
                         return true;
                     });
}

std::vector<std::string> actionMapLines(const std::vector<uint8_t>& rows) {
    std::vector<std::string> lines;
    for (uint8_t r : rows)
        lines.push_back(std::to_string(r) + ";");
    lines.push_back(";");
    return lines;
}

std::string realText(float v) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

} // namespace kv
