// What Tallyon keeps between runs, and when: the settings, the parameter
// table and the expression history in the data folder, read at start and
// saved on the way out (Quit, the close box, Windows ending the session).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "DataFolder.h"
#include "History.h"
#include "Settings.h"

struct XWND;

struct Session {
    DataFolder folder;
    Settings settings;
    ExpressionHistory history;
    bool folderProblemTold = false;  // the one notice about a folder that cannot be written
    std::string commandLine;         // as the program was started
    // The remembered files as this window last read or wrote them (nothing:
    // no such file, as far as this window knows). Another Tallyon window on
    // the same folder, or an editor, may change them meanwhile; a file that
    // differs at the end is merged with, not written over.
    std::optional<std::string> tableAsKnown;
    std::optional<std::string> historyAsKnown;
    bool tableUnreadable = false;  // the remembered table file could not be read at start
};

Session& session();

// Before the main window shows: the folder found, the settings read, the
// window put where it last was (when that is on a present monitor) and on
// top if it was.
void beginSession(XWND& frame, std::string_view commandLine);
// Once it shows: the remembered table and history read (a table file with
// faulty lines is first copied aside under a dated name), then the files
// named on the command line read as Read reads them.
void readAtStart(XWND& frame);
// Reads a parameter file as Read does, keeping track of whether a file
// holds the whole table.
void readParameterFile(const std::string& path);
// On the way out. `canAsk` false when Windows is ending the session and no
// question can wait for an answer. Returns false when the user chose to
// stay: a table that could not be kept is theirs to save first.
bool endSession(XWND& frame, bool canAsk);

// Whether the table holds changes that no file holds.
bool tableUnsaved();
// After a Save, or a Read into an unchanged table: a file holds it all.
void tableHeldByFile();
// Whether what is remembered is read and written at all.
bool remembering();
void setRemembering(bool on);
