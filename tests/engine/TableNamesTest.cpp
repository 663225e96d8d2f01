// The table's names: after any run of appends, swaps, deletions and
// renames, every key is found at its first entry within any limit, as a
// walk from the front finds it. A model (a plain vector walked from the
// front) is the judge; few distinct keys make repeated names common, and
// the tables grow past the size where lookups stop walking.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "NameIndex.h"

namespace {

ParamKey keyOf(int n) {
    ParamKey k = kBlankKey;
    const std::string text = "K" + std::to_string(n);
    for (std::size_t i = 0; i < text.size(); ++i) k[i] = text[i];
    return k;
}

int modelFind(const std::vector<ParamKey>& model, const ParamKey& key, int limit) {
    for (int i = 1; i <= std::min(limit, static_cast<int>(model.size())); ++i) {
        if (model[static_cast<std::size_t>(i - 1)] == key) return i;
    }
    return 0;
}

TEST(TableNames, AlwaysFindTheFirstEntryOfAName) {
    for (const int distinct : {3, 40}) {
        SCOPED_TRACE("distinct names: " + std::to_string(distinct));
        std::mt19937 random(20261210 + distinct);
        TableNames names;
        std::vector<ParamKey> model;
        for (int step = 0; step < 4000; ++step) {
            const int size = static_cast<int>(model.size());
            const int what = size < 2 ? 0 : static_cast<int>(random() % 4);
            const ParamKey key = keyOf(static_cast<int>(random() % static_cast<unsigned>(distinct)));
            if (what == 0 || (what == 2 && size > 200)) {
                if (what == 0) {
                    names.append(key);
                    model.push_back(key);
                } else {
                    const int entry = 1 + static_cast<int>(random() % static_cast<unsigned>(size));
                    names.erase(entry);
                    model.erase(model.begin() + (entry - 1));
                }
            } else if (what == 1) {
                const int lo = 1 + static_cast<int>(random() % static_cast<unsigned>(size - 1));
                names.swapNeighbours(lo);
                std::swap(model[static_cast<std::size_t>(lo - 1)], model[static_cast<std::size_t>(lo)]);
            } else if (what == 2) {
                names.append(key);
                model.push_back(key);
            } else {
                const int entry = 1 + static_cast<int>(random() % static_cast<unsigned>(size));
                names.rename(entry, key);
                model[static_cast<std::size_t>(entry - 1)] = key;
            }
            ASSERT_EQ(names.size(), static_cast<int>(model.size()));
            if (step % 50 != 0) continue;
            for (int n = 0; n < distinct; ++n) {
                for (const int limit : {1, static_cast<int>(model.size()) / 2, static_cast<int>(model.size())}) {
                    ASSERT_EQ(names.find(keyOf(n), limit), modelFind(model, keyOf(n), limit))
                        << "key K" << n << ", limit " << limit << ", step " << step;
                }
            }
        }
    }
}

}  // namespace
