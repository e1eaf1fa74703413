// Tests of behaviour that both releases share, or that differs between them, take the
// edition as their parameter: InEachEdition<Fixture> runs the test once in each, with the
// program's edition set for it and put back afterwards.
#pragma once

#include "app/edition.h"

#include <gtest/gtest.h>

#include <string>

namespace lumortest {

// The program's edition for as long as the scope lasts.
class EditionScope {
public:
    explicit EditionScope(lumor::Edition e) : before_(lumor::edition().edition) {
        lumor::setEdition(e);
    }
    ~EditionScope() { lumor::setEdition(before_); }
    EditionScope(const EditionScope&) = delete;
    EditionScope& operator=(const EditionScope&) = delete;

private:
    lumor::Edition before_;
};

template <class Base = ::testing::Test>
class InEachEdition : public Base, public ::testing::WithParamInterface<lumor::Edition> {
protected:
    void SetUp() override {
        before_ = lumor::edition().edition;
        lumor::setEdition(this->GetParam());
        Base::SetUp();
    }
    void TearDown() override {
        Base::TearDown();
        lumor::setEdition(before_);
    }
    static const lumor::EditionRules& rules() { return lumor::edition(); }
    static bool earlier() { return lumor::edition().edition == lumor::Edition::Earlier; }

private:
    lumor::Edition before_ = lumor::Edition::Main;
};

inline std::string editionName(const ::testing::TestParamInfo<lumor::Edition>& info) {
    return info.param == lumor::Edition::Main ? "Main" : "Earlier";
}

}  // namespace lumortest

// Instantiates the TEST_Ps of a fixture for both editions.
#define LUMOR_IN_EACH_EDITION(Fixture)                                                         \
    INSTANTIATE_TEST_SUITE_P(Editions, Fixture,                                                \
                             ::testing::Values(lumor::Edition::Main, lumor::Edition::Earlier), \
                             lumortest::editionName)
