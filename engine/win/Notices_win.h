// Binds the engine's notices (warnings, information, internal faults,
// questions) to the framework's message boxes.
#pragma once

class NoticeSink;

// Installs the binding; returns the sink it replaces.
NoticeSink* installWindowsNotices();
