#include "analysis1d/engine/ExtremeMeans.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

// The selections give what the full sort gave: means of the first and last k
// of the sorted values, overlapping ones and repeated values included.
TEST(ExtremeMeans, SameAsTheMeansOfASortedArray)
{
    std::mt19937 random(5);
    for (int trial = 0; trial < 2000; ++trial) {
        SCOPED_TRACE(trial);
        const int k = 1 + int(random() % 8);
        const int n = k + int(random() % 40);
        const int range = 1 + int(random() % 70000);
        std::vector<int> values;
        for (int i = 0; i < n; ++i)
            values.push_back(int(random() % unsigned(range)) - (trial % 3 == 0 ? range / 2 : 0));
        std::vector<int> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        int64_t low = 0;
        int64_t high = 0;
        for (int i = 0; i < k; ++i) {
            low += sorted[size_t(i)];
            high += sorted[size_t(n - 1 - i)];
        }
        const ExtremeMeans means(values, k);
        ASSERT_EQ(means.low(), int(low / k));
        ASSERT_EQ(means.high(), int(high / k));
    }
    std::vector<int> few(3, 1);
    EXPECT_THROW(ExtremeMeans(few, 6), CInvalidArgException);
}
