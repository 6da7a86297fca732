#include <QvBase/Util/SharedPtr.h>
#include <QvBase/Util/WString.h>

#include <gtest/gtest.h>

namespace {

struct Base {
    explicit Base(int* counter) : destroyed(counter) {}
    virtual ~Base() { ++*destroyed; }
    int* destroyed;
};

struct Derived : Base {
    using Base::Base;
};

}  // namespace

TEST(SharedPtr, LastReleaseDeletesOnce) {
    int destroyed = 0;
    {
        SharedPtr<Base> first(new Derived(&destroyed));
        EXPECT_EQ(first.UseCount(), 1);
        {
            SharedPtr<Base> second(first);
            SharedPtr<Base> third;
            third = second;
            third = third;
            EXPECT_EQ(first.UseCount(), 3);
            EXPECT_EQ(third.Get(), first.Get());
        }
        EXPECT_EQ(destroyed, 0);
        EXPECT_EQ(first.UseCount(), 1);

        SharedPtr<Derived> derived(new Derived(&destroyed));
        SharedPtr<Base> widened(derived);
        EXPECT_EQ(derived.UseCount(), 2);
        first = widened;  // releases the first object
        EXPECT_EQ(destroyed, 1);
    }
    EXPECT_EQ(destroyed, 2);
}

TEST(SharedPtr, NullAndRecordHandles) {
    SharedPtr<Base> none;
    EXPECT_FALSE(none);
    SharedPtr<Base> copy(none);
    EXPECT_EQ(copy.UseCount(), 2);

    SharedPtr<WString> wide(new WString());
    SharedPtr<WString> other(wide);
    EXPECT_EQ(other->CStr()[0], 0);
}
