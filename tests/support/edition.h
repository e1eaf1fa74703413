// InEachEdition<Fixture> runs a test once in each release.
#pragma once

#include "app/edition.h"

#include <gtest/gtest.h>

#include <string>

namespace lumortest {

template <class Base = ::testing::Test>
class InEachEdition : public Base, public ::testing::WithParamInterface<lumor::Edition> {
protected:
    void SetUp() override {
        lumor::setEdition(this->GetParam());
        Base::SetUp();
    }
    void TearDown() override {
        Base::TearDown();
        lumor::setEdition(lumor::Edition::Main);
    }
    static bool earlier() { return lumor::edition().edition == lumor::Edition::Earlier; }
};

}  // namespace lumortest

#define LUMOR_IN_EACH_EDITION(Fixture)                                                       \
    INSTANTIATE_TEST_SUITE_P(                                                                \
        Editions, Fixture, ::testing::Values(lumor::Edition::Main, lumor::Edition::Earlier), \
        [](const auto& param) {                                                              \
            return std::string(param.param == lumor::Edition::Main ? "Main" : "Earlier");    \
        })
