#include "tools/ScanTool.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    CScanTool tool;
    return tool.Run(std::vector<std::string>(argv + 1, argv + argc));
}
