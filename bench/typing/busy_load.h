#pragma once

#include <vector>

namespace tastalo::bench {

// `count` processes that keep the processors busy until the object goes:
// load for the measurements that must hold on a busy machine.
class BusyLoad {
public:
    explicit BusyLoad(int count);
    ~BusyLoad();
    BusyLoad(const BusyLoad&) = delete;
    BusyLoad& operator=(const BusyLoad&) = delete;

private:
    std::vector<int> m_pids;
};

}  // namespace tastalo::bench
