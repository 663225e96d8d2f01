#include "History.h"

#include "Text.h"
#include "Unicode.h"

void ExpressionHistory::add(std::string_view expression) {
    const std::string_view line = textkit::trimRight(expression);
    position_.reset();
    if (textkit::trim(line).empty()) return;
    if (!entries_.empty() && entries_.back() == line) return;
    entries_.emplace_back(line);
    added_.emplace_back(line);
    if (added_.size() > kKept) added_.erase(added_.begin());
    trim();
}

void ExpressionHistory::mergeWith(std::string_view text) {
    const std::vector<std::string> added = added_;
    load(text);
    for (const std::string& line : added) add(line);
    added_.clear();
}

std::optional<std::string> ExpressionHistory::older(std::string_view typed) {
    if (entries_.empty()) return std::nullopt;
    if (!position_) {
        typed_ = std::string(typed);
        position_ = entries_.size() - 1;
        return entries_[*position_];
    }
    if (*position_ == 0) return std::nullopt;
    return entries_[--*position_];
}

std::optional<std::string> ExpressionHistory::newer() {
    if (!position_) return std::nullopt;
    if (*position_ + 1 < entries_.size()) return entries_[++*position_];
    position_.reset();
    return typed_;
}

std::string ExpressionHistory::text() const {
    std::string out;
    for (const std::string& e : entries_) out += e + "\r\n";
    return out;
}

void ExpressionHistory::load(std::string_view text) {
    entries_.clear();
    added_.clear();
    position_.reset();
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = textkit::trimRight(line);
        if (textkit::trim(line).empty()) continue;
        // Lines written before the program spoke UTF-8 are in the older
        // code page; each line is read in the encoding it is in, since two
        // windows of different versions may have added to one file.
        if (utf8::wellFormed(line)) entries_.emplace_back(line);
        else entries_.push_back(utf8::fromCodePage(line));
    }
    trim();
}

void ExpressionHistory::trim() {
    if (entries_.size() > kKept) entries_.erase(entries_.begin(), entries_.end() - kKept);
}
