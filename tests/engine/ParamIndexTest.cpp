// The parameter table finds names through an index. After any sequence of
// new entries, edits, moves and deletions, every lookup (with and without a
// search limit) must give what a walk over the entries from the front gives:
// the first entry whose upper-cased name equals the squeezed, upper-cased
// name asked for.
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "WflStrings.h"

namespace {

class ParamIndexTest : public EngineTest {
protected:
    // The walk, over the public view of the table.
    static int walk(const std::string& name, std::optional<int> limit) {
        std::string key;
        for (char c : name) {
            if (static_cast<unsigned char>(c) > ' ') key += upperChar(c);
        }
        if (key.size() > 16) return 0;
        const int n = limit ? std::min(XPARAMCOUNT(), *limit) : XPARAMCOUNT();
        for (int i = 1; i <= n; ++i) {
            std::string stored;
            XPARAMFETCH(i, &stored);
            for (char& c : stored) c = upperChar(c);
            if (stored == key) return i;
        }
        return 0;
    }

    // Every name of the pool, in several spellings, against the walk.
    void checkLookups(const std::vector<std::string>& pool, std::mt19937& random) {
        for (const std::string& base : pool) {
            std::string lower = base;
            for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            const std::string spaced = " " + base.substr(0, 1) + " \t" + base.substr(1) + "  ";
            for (const std::string& name : {base, lower, spaced}) {
                const std::optional<int> limits[] = {
                    std::nullopt, 0, -3, 1, XPARAMCOUNT(), XPARAMCOUNT() + 5,
                    static_cast<int>(random() % static_cast<unsigned>(XPARAMCOUNT() + 2)),
                };
                for (const std::optional<int>& limit : limits) {
                    int found = -1;
                    XPARAMFIND(name, found, limit);
                    ASSERT_EQ(found, walk(name, limit))
                        << "name [" << name << "] limit " << (limit ? std::to_string(*limit) : "none");
                }
                std::string stored;
                bool factor = false;
                const int first = walk(name, std::nullopt);
                if (first != 0) XPARAMFETCH(first, nullptr, nullptr, nullptr, &factor);
                ASSERT_EQ(XPARAMGETFACTOR(name), first != 0 && factor) << "name [" << name << "]";
            }
        }
    }
};

TEST_F(ParamIndexTest, LookupsAgreeWithAWalkAfterEveryChange) {
    std::vector<std::string> pool;
    for (char a = 'A'; a <= 'Z'; ++a) pool.push_back(std::string(1, a) + "X");
    for (int i = 0; i < 30; ++i) pool.push_back("P" + std::to_string(i));
    pool.push_back("LONGNAMEOF16CHRS");
    pool.push_back("LONGNAMEOF17CHARS");  // never stored, never found
    pool.push_back("_U");
    XPARAMQUIET(true);

    std::mt19937 random(9);
    for (int round = 0; round < 1500; ++round) {
        const std::string& name = pool[random() % pool.size()];
        switch (random() % 6) {
        case 0:
        case 1:
            XPARAMNEW(random() % 2 ? name : " " + name, "1", "", random() % 2 == 0, false);
            break;
        case 2: {
            // An edit may change the stored spelling but not the key.
            std::string lower = name;
            for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            XPARAMEDIT(random() % 2 ? name : lower, "2", "", random() % 2 == 0, false);
            break;
        }
        case 3:
            if (random() % 3 == 0) XPARAMDELETE(name);
            break;
        case 4:
            XPARAMMOVEUP(static_cast<int>(random() % static_cast<unsigned>(XPARAMCOUNT() + 2)));
            break;
        default:
            XPARAMMOVEDOWN(static_cast<int>(random() % static_cast<unsigned>(XPARAMCOUNT() + 2)));
            break;
        }
        checkLookups(pool, random);
        if (HasFatalFailure()) return;
    }
    // The walk over the table was exercised on both sides of the size at
    // which lookups switch from walking the keys to the hash index.
    EXPECT_GT(XPARAMCOUNT(), 8);
}

// A long table built and thinned out: lookups go through the hash index.
TEST_F(ParamIndexTest, LargeTableThinnedOut) {
    std::vector<std::string> pool;
    for (int i = 0; i < 300; ++i) pool.push_back("Q" + std::to_string(i));
    XPARAMQUIET(true);
    for (const std::string& name : pool) ASSERT_TRUE(XPARAMNEW(name, "1", "", false, false));
    std::mt19937 random(300);
    for (int round = 0; round < 200; ++round) {
        const int index = 1 + static_cast<int>(random() % static_cast<unsigned>(XPARAMCOUNT()));
        if (round % 3 == 0) {
            std::string name;
            XPARAMFETCH(index, &name);
            ASSERT_TRUE(XPARAMDELETE(name));
        } else if (round % 3 == 1) {
            XPARAMMOVEUP(index);
        } else {
            XPARAMMOVEDOWN(index);
        }
        if (round % 20 == 0) {
            checkLookups(pool, random);
            if (HasFatalFailure()) return;
        }
    }
    checkLookups(pool, random);
}

}  // namespace
