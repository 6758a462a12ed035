#include <gtest/gtest.h>

#include "common/misc/CxList.h"

namespace {

// A list of four elements a, b, c, d, each an int holding its name.
class CxListTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int& v : m_nValues) ASSERT_TRUE(m_list.Add(&v));
    }
    int* El(int i) { return &m_nValues[i]; }

    // Walks from the head and checks that GetAt finds each element at its
    // place, so the positions of every node still run 0, 1, 2 ...
    void ExpectOrder(std::initializer_list<int> order) {
        ASSERT_EQ(m_list.GetCount(), order.size());
        DWORD i = 0;
        void* p = m_list.GetFirst();
        for (int n : order) {
            EXPECT_EQ(p, El(n)) << "at " << i;
            EXPECT_EQ(m_list.GetAt(i), El(n)) << "at " << i;
            p = m_list.GetNext();
            ++i;
        }
        EXPECT_EQ(p, nullptr);
    }

    int m_nValues[4] = {0, 1, 2, 3};
    CxList m_list;
};

TEST_F(CxListTest, AddAppendsAndMovesTheCursorToTheNewElement) {
    ExpectOrder({0, 1, 2, 3});
    EXPECT_FALSE(m_list.Add(nullptr));
    EXPECT_EQ(m_list.GetCount(), 4u);
    int e = 4;
    m_list.GetFirst();
    ASSERT_TRUE(m_list.Add(&e));
    EXPECT_EQ(m_list.GetPrev(), El(3));  // the cursor was on the added tail
}

TEST_F(CxListTest, WalksBackwardFromTheLastAndStopsAtTheEnds) {
    CxList list;
    int v[3] = {};
    for (int& x : v) list.Add(&x);
    EXPECT_EQ(list.GetLast(), &v[2]);
    EXPECT_EQ(list.GetPrev(), &v[1]);
    EXPECT_EQ(list.GetPrev(), &v[0]);
    EXPECT_EQ(list.GetPrev(), nullptr);
    EXPECT_EQ(list.GetLast(), &v[2]);
    EXPECT_EQ(list.GetNext(), nullptr);
}

TEST_F(CxListTest, GetAtJumpsBothWaysAndRejectsIndexesPastTheEnd) {
    EXPECT_EQ(m_list.GetAt(3), El(3));
    EXPECT_EQ(m_list.GetAt(0), El(0));
    EXPECT_EQ(m_list.GetAt(2), El(2));
    EXPECT_EQ(m_list.GetAt(4), nullptr);
    EXPECT_EQ(m_list.GetNext(), El(3));  // a failed GetAt left the cursor alone
}

TEST_F(CxListTest, RemoveOfAMiddleElementPutsTheCursorOnItsFollower) {
    m_list.GetFirst();
    ASSERT_TRUE(m_list.Remove(El(1)));
    EXPECT_EQ(m_list.GetNext(), El(3));  // cursor on c, so next is d
    EXPECT_EQ(m_list.GetPrev(), El(2));
    ExpectOrder({0, 2, 3});
    EXPECT_EQ(m_list.FindNode(El(1)), nullptr);
    EXPECT_EQ(m_nValues[1], 1);  // the element itself is not touched
}

TEST_F(CxListTest, RemoveOfHeadAndTailRelinksTheEnds) {
    ASSERT_TRUE(m_list.Remove(El(0)));
    EXPECT_EQ(m_list.GetPrev(), nullptr);  // cursor on the new head
    ExpectOrder({1, 2, 3});
    ASSERT_TRUE(m_list.Remove(El(3)));
    ExpectOrder({1, 2});
    EXPECT_EQ(m_list.GetLast(), El(2));
    EXPECT_FALSE(m_list.Remove(El(3)));
    EXPECT_FALSE(m_list.Remove(nullptr));
}

TEST_F(CxListTest, AfterRemovingTheTailTheCursorIsOnNoNodeYetEveryMoveIsSafe) {
    m_list.GetFirst();
    ASSERT_TRUE(m_list.Remove(El(3)));
    EXPECT_EQ(m_list.GetNext(), nullptr);
    EXPECT_EQ(m_list.GetPrev(), El(2));  // back onto the new tail

    ASSERT_TRUE(m_list.Remove(El(2)));
    EXPECT_EQ(m_list.GetAt(0), El(0));

    ASSERT_TRUE(m_list.Remove(El(1)));
    EXPECT_EQ(m_list.GetAt(1), nullptr);
    EXPECT_EQ(m_list.GetPrev(), El(0));
    EXPECT_EQ(m_list.GetFirst(), El(0));
    ASSERT_TRUE(m_list.Add(El(3)));
    ExpectOrder({0, 3});
}

TEST_F(CxListTest, RemoveFindsTheFirstNodeOfAnElementAddedTwice) {
    ASSERT_TRUE(m_list.Add(El(1)));
    ASSERT_TRUE(m_list.Remove(El(1)));
    ExpectOrder({0, 2, 3, 1});
}

TEST_F(CxListTest, RemoveAllEmptiesWithoutTouchingTheElements) {
    m_list.RemoveAll();
    EXPECT_EQ(m_list.GetCount(), 0u);
    EXPECT_EQ(m_list.GetFirst(), nullptr);
    EXPECT_EQ(m_list.GetLast(), nullptr);
    EXPECT_EQ(m_list.GetNext(), nullptr);
    EXPECT_EQ(m_list.GetPrev(), nullptr);
    EXPECT_EQ(m_list.GetAt(0), nullptr);
    EXPECT_EQ(m_list.FindNode(El(0)), nullptr);
    ASSERT_TRUE(m_list.Add(El(2)));
    ExpectOrder({2});
}

}  // namespace
