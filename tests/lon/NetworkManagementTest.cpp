#include <gtest/gtest.h>

#include "lon/NetworkManagement.h"

namespace {

using lon::Bytes;
using lon::Reply;

struct RequestCase {
    Bytes built;
    Bytes expected;
};

class RequestTest : public testing::TestWithParam<RequestCase> {};

TEST_P(RequestTest, Bytes) {
    EXPECT_EQ(GetParam().built, GetParam().expected);
}

const Bytes kValue = {0x01, 0xF4};

INSTANTIATE_TEST_SUITE_P(
    Requests, RequestTest,
    testing::Values(RequestCase{lon::NvFetchRequest(44), {0x73, 44}},
                    RequestCase{lon::NvFetchRequest(254), {0x73, 254}},
                    RequestCase{lon::NvFetchRequest(255), {0x73, 0xFF, 0x00, 0xFF}},
                    RequestCase{lon::NvFetchRequest(0x1234), {0x73, 0xFF, 0x12, 0x34}},
                    RequestCase{lon::QueryNvConfigRequest(300), {0x68, 0xFF, 0x01, 0x2C}},
                    RequestCase{lon::QueryIdRequest(lon::QueryIdScope::Selected), {0x61, 0x01}},
                    // Input NV 45 unbound: selector 0x3FFF - 45 = 0x3FD2.
                    RequestCase{lon::NvUpdate(lon::UnboundSelector(45), kValue),
                                {0xBF, 0xD2, 0x01, 0xF4}}));

struct FetchCase {
    Bytes apdu;
    std::uint16_t index;
    Reply reply;
    Bytes value;
};

class NvFetchResponseTest : public testing::TestWithParam<FetchCase> {};

TEST_P(NvFetchResponseTest, Reads) {
    Bytes value;
    EXPECT_EQ(lon::ReadNvFetchResponse(GetParam().apdu, GetParam().index, value), GetParam().reply);
    EXPECT_EQ(value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Responses, NvFetchResponseTest,
    testing::Values(FetchCase{{0x33, 44, 0x01, 0xF4}, 44, Reply::Success, kValue},
                    FetchCase{{0x33, 0xFF, 0x01, 0x2C, 0x07}, 300, Reply::Success, {0x07}},
                    FetchCase{{0x13}, 44, Reply::Failure, {}},
                    FetchCase{{0x33, 45, 0x01}, 44, Reply::Foreign, {}},  // another NV's value
                    FetchCase{{0x33, 0xFF, 0x01}, 300, Reply::Foreign, {}},
                    FetchCase{{0x28, 44, 0x00}, 44, Reply::Foreign, {}},
                    FetchCase{{}, 44, Reply::Foreign, {}}));

TEST(NvConfigResponse, ReadsTheEntryBits) {
    lon::NvConfig config;
    EXPECT_EQ(lon::ReadNvConfigResponse(Bytes{0x28, 0x92, 0x34, 0x2F}, config), Reply::Success);
    EXPECT_EQ(config, (lon::NvConfig{true, false, 0x1234, false, 1, false, 15}));
    EXPECT_EQ(lon::ReadNvConfigResponse(Bytes{0x28, 0x92, 0x34}, config), Reply::Foreign);
    EXPECT_EQ(lon::ReadNvConfigResponse(Bytes{0x08}, config), Reply::Failure);
}

TEST(Identity, QueryIdResponseAndServicePinCarryNeuronIdThenProgramId) {
    const lon::NodeIdentity id{{1, 2, 3, 4, 5, 6}, {0x90, 0, 0, 0x0A, 0x0B, 0x0C, 0x04, 0x01}};
    Bytes pin = lon::ServicePinMessage(id);
    EXPECT_EQ(pin.front(), 0x7F);
    EXPECT_EQ(lon::ReadServicePin(pin), id);
    Bytes response = pin;
    response[0] = 0x21;
    lon::NodeIdentity read;
    EXPECT_EQ(lon::ReadQueryIdResponse(response, read), Reply::Success);
    EXPECT_EQ(read, id);
    response.pop_back();
    EXPECT_EQ(lon::ReadQueryIdResponse(response, read), Reply::Foreign);
    EXPECT_FALSE(lon::ReadServicePin(Bytes(pin.begin(), pin.end() - 1)));
}

}  // namespace
