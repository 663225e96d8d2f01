// WflApp: the program's start-up, the three shapes of main window, the
// message loops and a few process-wide services.
#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <string_view>

#include "FixedText.h"
#include "WflMenu.h"
#include "WflWnd.h"

// The application's start-up routine, written by the application: it
// creates and shows the main window and returns true, or returns false to
// end the program at once.
bool XINIT(const FixedText<256>& commandLine, int& showCommand);
using XInitRoutine = bool (*)(const FixedText<256>& commandLine, int& showCommand);

// The entry logic behind WinMain, with the start-up routine as a parameter
// so that tests can run it: registers the framework class, calls `init`
// and runs the main loop; returns the quit code (0 when init failed).
int runApplication(HINSTANCE instance, std::string_view commandLine, int showCommand,
                   XInitRoutine init);
// The command line the program was started with, whole: the start-up
// routine's copy holds its first 256 bytes, which a long path in UTF-8 can
// pass.
std::string_view XWHOLECOMMANDLINE();
// The first two steps of it on their own (instance, counters, class), for
// code that creates framework windows without the main loop.
void startFramework(HINSTANCE instance);
// The main message loop; returns the quit code.
int runMainLoop();

// A start-up routine that opens a plain visible overlapped frame window.
bool PXDEFXINIT(const FixedText<256>& commandLine, int& showCommand);

bool XCREATESDIAPP(MenuRecord* menu, std::string_view title, std::optional<int> icon = std::nullopt,
                   int showCommand = SW_SHOW, DWORD style = 0x02CF0000,
                   DWORD exStyle = WS_EX_APPWINDOW);
// `windowMenuPosition` is the 1-based position of the submenu that lists
// the MDI children.
bool XCREATEMDIAPP(MenuRecord& menu, int windowMenuPosition, std::string_view title,
                   std::optional<int> icon = std::nullopt, int showCommand = SW_SHOW);
// Loads dialog resource `dialogId` as the frame window (not shown yet).
bool XCREATEDIALOGAPP(int dialogId, MenuRecord* menu = nullptr,
                      std::optional<int> icon = std::nullopt);

HMODULE XGETINSTANCE(std::optional<std::string_view> moduleName = std::nullopt);
bool XLOADACCELERATORS(int acceleratorId, HMODULE module = nullptr);
void XBEEP(std::optional<int> frequency = std::nullopt, std::optional<int> duration = std::nullopt);
void XMESSAGEBEEP(UINT soundType);

// Pumps messages. Returns 0 when the queue is empty, WM_QUIT (18) when the
// program is quitting (the quit message is posted again), a message number
// of `messages` when such a message arrived (it is not dispatched), or
// -k when handle k (1-based) of `handles` was signalled.
int XPROCESSMESSAGES(bool wait = false, std::span<const UINT> messages = {},
                     std::span<const HANDLE> handles = {}, bool waitAll = false);

// ---- Process-wide state the window module shares -------------------------
XWND& frameWindow();          // the one global frame window record
XWND* mdiClientWindow();      // null unless an MDI application
int applicationKind();        // 0 none/dialog, 1 SDI, 2 MDI
int windowCount();            // windows created or adopted so far
void countWindow();
HINSTANCE frameworkInstance();
bool inStartup();
