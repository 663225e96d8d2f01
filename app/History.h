// The expressions evaluated before, newest last, as a shell keeps its
// commands: Up steps back through them from the newest, Down forward again,
// and Down past the newest brings back the line that was being typed.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ExpressionHistory {
public:
    static constexpr std::size_t kKept = 500;  // the newest ones are kept

    // An evaluated expression joins at the newest end, unless it repeats the
    // newest; a blank one never joins. Browsing starts over.
    void add(std::string_view expression);

    // One step back (Up): the entry before the one shown, or nothing at the
    // oldest. The first step remembers `typed`, the line being edited.
    std::optional<std::string> older(std::string_view typed);
    // One step forward (Down): the next newer entry, the typed line past the
    // newest, or nothing when not browsing.
    std::optional<std::string> newer();
    void stopBrowsing() { position_.reset(); }

    const std::vector<std::string>& entries() const { return entries_; }
    // As a file: one expression a line, oldest first; read back, blank lines
    // and a trailing CR are skipped and only the newest kKept are kept.
    std::string text() const;
    void load(std::string_view text);
    // Another window kept its history in the file since this one read it:
    // the file's TEXT, then what this window added since its load, as if
    // both had been typed in one window, the other's first.
    void mergeWith(std::string_view text);

private:
    void trim();
    std::vector<std::string> entries_;
    std::vector<std::string> added_;  // joined since the last load, oldest first
    std::optional<std::size_t> position_;  // the entry shown while browsing
    std::string typed_;
};
