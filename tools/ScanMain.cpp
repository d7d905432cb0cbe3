#include "catalog/ReadPool.h"
#include "tools/ScanTool.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    CReadPool::ShareOneHeap();
    // The catalog is not torn down: the process ends here, and freeing a hundred thousand
    // records one by one would only make the tool slower to return.
    auto* tool = new CScanTool;
    const int status = tool->Run(std::vector<std::string>(argv + 1, argv + argc));
    std::fflush(nullptr);
    std::_Exit(status);
}
