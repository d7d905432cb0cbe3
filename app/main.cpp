#include "app/CommandLine.h"
#include "app/QuavApp.h"
#include "catalog/ReadPool.h"

int main(int argc, char** argv) {
    CReadPool::ShareOneHeap();
    if (const auto status = CCommandLine::Answer(argc, argv))
        return *status;
    CQuavApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    return CQuavApp::exec();
}
