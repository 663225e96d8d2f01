// The parameter list as a file: saved with the safe save, so a failed save
// keeps the old file, and read with the checks that keep a wrong file out.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SafeSave.h"

// Writes the parameter table to `path`. On failure the user gets the
// warning "SAVE FAILURE" and the file keeps its old content. An old file
// with lines the table would not write back is first kept aside (see
// keepCopyAside), and the user is told so ("FILE KEPT").
bool saveParameterList(const std::string& path);
bool saveParameterList(const std::string& path, SaveSteps& steps);

// Merges the parameter list in `path` into the table. A file that cannot be
// opened, a folder, or a file that holds binary data gives the warning
// "READ FAILURE" and leaves the table unchanged; a read error part way
// through says so and keeps the lines read before it.
// What one read found, for a caller that keeps the file.
struct ListRead {
    int faultyLines = 0;  // lines that had faults (each was reported, or counted)
    int unkeptLines = 0;  // lines a save of the table would not give back
    std::string bytes;    // the file as it was read
};
bool readParameterList(const std::string& path, ListRead* found = nullptr);

// parameters.par as parameters-2026-12-10-093015.par beside it.
std::string datedCopyName(const std::string& path, const std::tm& when);
// Keeps BYTES, the content of the file at `path`, under a dated name beside
// it, and gives that name. When a dated copy beside it holds the same bytes
// already, that copy is the answer and nothing is written (`made` false).
// Nothing when the copy cannot be written.
struct CopyAside {
    std::string path;
    bool made = false;  // a new copy; false: one made before holds the bytes
};
std::optional<CopyAside> keepCopyAside(const std::string& path, std::string_view bytes);

// One parameter of a list file, as a read would store it.
struct FileParameter {
    std::string name, expression, comment;  // without trailing blanks
    bool factorOnly = false;
    std::string key;  // what names are told apart by: two of one key are one parameter
};
// A list file's BYTES looked at without reading it into the table.
struct ListScan {
    // Each parameter once, where its first line stands, with the definition
    // of its last line (as a read leaves it).
    std::vector<FileParameter> entries;
    // Lines a save of the table read from it would not give back: notes,
    // lines cut or refused by the read, comments cut to what the table
    // keeps, an entry a later line of the same name replaced, or, for text
    // that holds binary data (a program, a file in UTF-16), every line.
    int unkeptLines = 0;
};
ListScan scanParameterList(std::string_view bytes);
int linesNotWrittenBack(std::string_view text);

// How the bytes of a list file are text. A file that starts with the UTF-8
// mark, or whose bytes are all well-formed UTF-8, is UTF-8 (plain ASCII is
// both); any other is in the user's older code page (Windows-1252 in Western
// Europe and the Americas). Inside the program every text is UTF-8; a save
// writes a file in the encoding it had, so reading and saving it back gives
// the same bytes.
enum class ListEncoding { kUtf8, kUtf8WithMark, kCodePage };
ListEncoding listEncoding(std::string_view bytes);
// The bytes as UTF-8 text (a mark stays where it was).
std::string listText(std::string_view bytes);
// UTF-8 TEXT in that encoding. Text with a character the older code page
// has no place for is written as UTF-8 with the mark instead: that keeps
// every character, and the mark tells the next reader the encoding.
std::string listBytes(std::string_view text, ListEncoding encoding);

// The whole content of the file at `path`, read front to back (a pipe
// serves as well as a file); nothing when it cannot be opened or read.
std::optional<std::string> readWholeFile(const std::string& path);
