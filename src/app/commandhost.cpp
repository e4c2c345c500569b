#include "app/commandhost.h"

#include <algorithm>
#include <functional>
#include <numeric>

namespace app {

std::vector<int> RowsBottomUp(const std::optional<std::vector<int>>& rows, size_t count) {
    std::vector<int> order;
    if (rows) {
        order = *rows;
    } else {
        order.resize(count);
        std::iota(order.begin(), order.end(), 0);
    }
    std::sort(order.begin(), order.end(), std::greater<>());
    order.erase(std::unique(order.begin(), order.end()), order.end());
    return order;
}

}  // namespace app
