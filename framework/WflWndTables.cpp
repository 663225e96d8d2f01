// The sorted dispatch tables of a window record. The form each message's
// handler must have is listed with the message's call (WflWndHandler.cpp).
#include <algorithm>

#include "WflWndInternal.h"

namespace {

bool isNullRoutine(const XHandler& routine) {
    return std::visit([](auto fn) { return fn == nullptr; }, routine);
}

// Inserts or replaces `key` in a pair of parallel ascending arrays. The
// arrays start with room for 10 and, when full, grow to count + 10: a
// window rarely has many handlers, and growing by a fixed step keeps the
// tables small.
template <class Key, class Value>
void insertSorted(std::vector<Key>& keys, std::vector<Value>& values, int& count, Key key,
                  Value value) {
    auto at = std::lower_bound(keys.begin(), keys.end(), key);
    if (at != keys.end() && *at == key) {
        values[static_cast<std::size_t>(at - keys.begin())] = value;
        return;
    }
    const auto pos = at - keys.begin();
    if (keys.capacity() == 0) {
        keys.reserve(10);
        values.reserve(10);
    } else if (keys.size() == keys.capacity()) {
        keys.reserve(keys.size() + 1 + 10);
        values.reserve(keys.size() + 1 + 10);
    }
    keys.insert(keys.begin() + pos, key);
    values.insert(values.begin() + pos, value);
    count = static_cast<int>(keys.size());
}

template <class Key>
bool findSorted(const std::vector<Key>& keys, int count, Key key, int& index) {
    const auto end = keys.begin() + std::min<std::ptrdiff_t>(count, std::ssize(keys));
    auto at = std::lower_bound(keys.begin(), end, key);
    if (at == end || *at != key) {
        index = 0;
        return false;
    }
    index = static_cast<int>(at - keys.begin()) + 1;
    return true;
}

}  // namespace

bool XSETHANDLER(XWND& record, UINT message, XHandler routine) {
    if (record.defaultProc == kDefProcUnbound || isNullRoutine(routine)) return false;
    if (routine.index() != handlerFormFor(message)) {
        raiseFault(kFaultWrongForm);
        return false;
    }
    insertSorted(record.handlerMessages, record.handlerRoutines, record.handlerCount, message,
                 routine);
    return true;
}

bool XSETCOMMAND(XWND& record, int id, XCommandRoutine routine) {
    if (record.defaultProc == kDefProcUnbound || routine == nullptr) return false;
    insertSorted(record.commandIds, record.commandRoutines, record.commandCount, id, routine);
    return true;
}

bool FXGETHANDLER(UINT message, const XWND& record, int& index) {
    return findSorted(record.handlerMessages, record.handlerCount, message, index);
}

bool FXGETCOMMAND(const XWND& record, int id, int& index) {
    return findSorted(record.commandIds, record.commandCount, id, index);
}

const XHandler* findHandler(const XWND& record, UINT message) {
    int index = 0;
    if (!FXGETHANDLER(message, record, index)) return nullptr;
    return &record.handlerRoutines[static_cast<std::size_t>(index - 1)];
}

XCommandRoutine findCommand(const XWND& record, int id) {
    int index = 0;
    if (!FXGETCOMMAND(record, id, index)) return nullptr;
    return record.commandRoutines[static_cast<std::size_t>(index - 1)];
}
