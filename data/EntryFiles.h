#pragma once
#include "data/AnimTables.h"
#include "data/LineFile.h"
#include "data/Records.h"

#include <string>
#include <vector>

namespace kv {

// Entry files <-> records. Each kind's line table is written once (EntryFiles.cpp) and serves
// both directions: the loaders parse with it, the content generator writes with it.

// Why a file was refused. `line` counts from 1; 0 for the file as a whole. `reason` is UTF-8.
struct ContentError {
    int line = 0;
    std::string reason;
};

// Each parser fills the record from a file's lines, fields missing from a short file left 0
// or empty. False with `error` set on a content error (a text over kTextMax bytes, a map
// with more than kMaxStartPoints start points).
bool parseEntry(const LineFile& f, WeaponSpec& out, ContentError& error);
bool parseEntry(const LineFile& f, ShieldSpec& out, ContentError& error);
bool parseEntry(const LineFile& f, ArmourSpec& out, ContentError& error);
bool parseEntry(const LineFile& f, ItemSpec& out, ContentError& error);
bool parseEntry(const LineFile& f, MapSpec& out, ContentError& error);

// The lines of an entry file, for kContentWriter.
std::vector<std::string> entryLines(const WeaponSpec& r);
std::vector<std::string> entryLines(const ShieldSpec& r);
std::vector<std::string> entryLines(const ArmourSpec& r);
std::vector<std::string> entryLines(const ItemSpec& r);
std::vector<std::string> entryLines(const MapSpec& r);

// List files: entry paths up to the line ";". False on more paths than `capacity`, a path
// over kTextMax bytes or no ";" line.
bool parseList(const LineFile& f, int capacity, std::vector<std::string>& paths,
               ContentError& error);
std::vector<std::string> listLines(const std::vector<std::string>& paths);

// Animation set files: rows like "10,24,0,1;" up to the line ";".
bool parseAnimSet(const LineFile& f, std::vector<AnimTables::Row>& rows, ContentError& error);
std::vector<std::string> animSetLines(const std::vector<AnimTables::Row>& rows);

// Action map files: one "12;" per action up to the line ";".
bool parseActionMap(const LineFile& f, std::vector<uint8_t>& rows, ContentError& error);
std::vector<std::string> actionMapLines(const std::vector<uint8_t>& rows);

// A real as the writers put it: the shortest text that reads back to the same float.
std::string realText(float v);

} // namespace kv
