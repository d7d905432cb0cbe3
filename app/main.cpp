#include "app/QuavApp.h"

int main(int argc, char** argv) {
    CQuavApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    return CQuavApp::exec();
}
