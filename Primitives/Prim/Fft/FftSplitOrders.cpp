#include <Primitives/Prim/Fft/FftSplitOrders.h>

namespace Prim {
namespace {

constexpr int FirstOrder = 10;
constexpr int LastOrder = 30;
constexpr int Orders = LastOrder - FirstOrder + 1;

// Indexed by p - 10; entries below a build's threshold are never looked up. Order 30 is
// reached by the complex transforms of the full order.
constexpr int8_t SplitX87F64[Orders] = {0, 0, 4, 5, 6, 7, 7, 8, 9, 9, 9, 8, 8, 9, 9, 9, 9, 9, 9, 9, 9};
constexpr int8_t SplitX87F32[Orders] = {0, 0, 0, 5, 6, 7, 8, 8, 8, 10, 10, 10, 10, 8, 8, 10, 10, 10, 10, 10, 10};
constexpr FftSse2Split SplitSse2F64[Orders] = {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {4, 8}, {4, 8}, {4, 10}, {4, 10},
    {5, 12}, {6, 13}, {7, 13}, {8, 13}, {4, 10}, {5, 12}, {6, 13}, {7, 13}, {8, 13}, {8, 13}, {8, 13}, {8, 13},
    {8, 13}};
constexpr FftSse2Split SplitSse2F32[Orders] = {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {4, 9}, {4, 10}, {4, 10},
    {5, 13}, {6, 13}, {6, 13}, {8, 14}, {8, 14}, {8, 14}, {8, 14}, {8, 14}, {8, 14}, {8, 14}, {8, 14}, {8, 14}};

bool InRange(int p) { return p >= FirstOrder && p <= LastOrder; }

}  // namespace

int FftSplitOrderX87F64(int p) { return InRange(p) ? SplitX87F64[p - FirstOrder] : 0; }
int FftSplitOrderX87F32(int p) { return InRange(p) ? SplitX87F32[p - FirstOrder] : 0; }
FftSse2Split FftSplitSse2F64(int p) { return InRange(p) ? SplitSse2F64[p - FirstOrder] : FftSse2Split{0, 0}; }
FftSse2Split FftSplitSse2F32(int p) { return InRange(p) ? SplitSse2F32[p - FirstOrder] : FftSse2Split{0, 0}; }

}  // namespace Prim
