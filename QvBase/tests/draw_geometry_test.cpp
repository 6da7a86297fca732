#include <QvBase/UI/Drawing/Geometry.h>

#include <gtest/gtest.h>

using UI::Point;
using UI::Rect;
using UI::Size;

TEST(DrawGeometry, BuildsMovesAndGrowsWithInclusiveEdges) {
    const Rect r = Rect::FromXYWH(10, 20, 5, 3);
    EXPECT_EQ(r, (Rect{10, 14, 20, 22}));
    EXPECT_EQ(r.Width(), 5);
    EXPECT_EQ(r.Height(), 3);
    EXPECT_EQ(Rect::FromPointSize({10, 20}, {5, 3}), r);
    EXPECT_TRUE(Rect().IsEmpty());
    EXPECT_EQ(Rect(), (Rect{0, -1, 0, -1}));
    EXPECT_TRUE(Rect::FromXYWH(3, 3, 0, 4).IsEmpty());

    EXPECT_EQ(r.Offsetted({-10, 5}), (Rect{0, 4, 25, 27}));
    Rect moved = r;
    moved.Offset({1, 1});
    EXPECT_EQ(moved, (Rect{11, 15, 21, 23}));
    Rect grown = r;
    grown.Grow({2, 4});
    EXPECT_EQ(grown, (Rect{10, 16, 20, 26}));

    EXPECT_TRUE(r.Contains({10, 20}));
    EXPECT_TRUE(r.Contains({14, 22}));
    EXPECT_FALSE(r.Contains({15, 22}));
    EXPECT_FALSE(r.Contains({14, 23}));
    EXPECT_FALSE((Point{1, 2} == Point{1, 3}));
    EXPECT_FALSE((Size{1, 2} == Size{2, 2}));
}

TEST(DrawGeometry, IntersectionAndUnion) {
    const Rect a{0, 9, 0, 9}, b{5, 14, 3, 20};
    EXPECT_EQ(Rect::Intersect(a, b), (Rect{5, 9, 3, 9}));
    // Disjoint: zero width and height at the overlap's corner.
    const Rect none = Rect::Intersect(a, Rect{20, 30, 40, 50});
    EXPECT_EQ(none, (Rect{20, 19, 40, 39}));
    EXPECT_EQ(none.Width(), 0);
    EXPECT_EQ(none.Height(), 0);
    Rect c = a;
    c.Intersect(b);
    EXPECT_EQ(c, (Rect{5, 9, 3, 9}));

    EXPECT_EQ(Rect::Union(a, b), (Rect{0, 14, 0, 20}));
    EXPECT_EQ(Rect::Union(a, Rect{}), a);
    EXPECT_EQ(Rect::Union(Rect{}, b), b);
    const Rect emptyB{7, 6, 7, 6};
    EXPECT_EQ(Rect::Union(Rect{}, emptyB), emptyB);
}

TEST(DrawGeometry, NativeRectanglesHaveExclusiveEdges) {
    const Rect r{10, 109, 20, 219};
    const auto native = r.ToNative();
    EXPECT_EQ(native.x, 10);
    EXPECT_EQ(native.y, 20);
    EXPECT_EQ(native.Right(), 110);
    EXPECT_EQ(native.Bottom(), 220);
    EXPECT_EQ(Rect::FromNative(native), r);
}

TEST(DrawGeometry, TextFormRoundTripsAndRefusesDisagreeingSizes) {
    EXPECT_STREQ(Rect({300, 999, 400, 799}).ToString().CStr(), "[(300,400)-(999,799) 700x400]");
    EXPECT_STREQ(Rect({-5, -1, -7, -7}).ToString().CStr(), "[(-5,-7)-(-1,-7) 5x1]");

    bool ok = false;
    EXPECT_EQ(Rect::FromString("[(10,20)-(109,219) 100x200]", &ok), (Rect{10, 109, 20, 219}));
    EXPECT_TRUE(ok);
    EXPECT_EQ(Rect::FromString("[(10,20)-(109,219) 99x200]", &ok), Rect());
    EXPECT_FALSE(ok);
    EXPECT_EQ(Rect::FromString("[( 10, 20)-(109,219)   100x 200]", &ok), (Rect{10, 109, 20, 219}));
    EXPECT_TRUE(ok);

    const char* bad[] = {"", "[(10,20)-(109,219) 100x]", "(10,20)-(109,219) 100x200]", "[(10;20)-(109,219) 100x200]",
        "[(10,20)-(109,219) 100X200]", "[(99999999999,20)-(109,219) 100x200]", "[(-2147483648,0)-(2147483647,0) 0x1]"};
    for (const char* text : bad) {
        ok = true;
        EXPECT_EQ(Rect::FromString(text, &ok), Rect()) << text;
        EXPECT_FALSE(ok) << text;
    }
    EXPECT_EQ(Rect::FromString("[(1,2)-(1,2) 1x1]"), (Rect{1, 1, 2, 2}));

    for (const Rect r : {Rect{0, 0, 0, 0}, Rect{-100, 50, 7, 8}, Rect{300, 999, 400, 799}})
        EXPECT_EQ(Rect::FromString(r.ToString(), &ok), r);
}
