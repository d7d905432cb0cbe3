#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The widgets need one application object for the whole run; it is made after the test list
// is known and goes before the test runner ends.
class CQtEnvironment : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[11] = "test_views";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new CQtEnvironment);

} // namespace
