// The vendor-library backend against a stand-in library, and the choice of
// backend from the environment.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "device/ftdi.h"
#include "device/shared_library.h"
#include "tests/portable.h"

namespace kestrin {
namespace {

template <typename Fn>
Fn Control(const char* name) {
    // The same loaded copy the backend drives; kept loaded like the backend's.
    static SharedLibrary* lib = SharedLibrary::Load(STANDIN_D2XX_PATH, nullptr).release();
    return lib ? reinterpret_cast<Fn>(lib->Symbol(name)) : nullptr;
}

// Sets or clears an environment variable for one scope.
class EnvVar {
  public:
    EnvVar(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old, had_ = true;
        kestrin_test::SetEnv(name, value);
    }
    ~EnvVar() { kestrin_test::SetEnv(name_, had_ ? old_.c_str() : nullptr); }

  private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

TEST(D2xxBackend, LoadsOnlyACompleteLibrary) {
    EXPECT_NE(MakeD2xxBackend(STANDIN_D2XX_PATH), nullptr);
    EXPECT_EQ(MakeD2xxBackend(STANDIN_D2XX_INCOMPLETE_PATH), nullptr);
    EXPECT_EQ(MakeD2xxBackend("/nonexistent/libftd2xx.so"), nullptr);
    EnvVar lib("KESTRIN_D2XX_LIBRARY", STANDIN_D2XX_PATH);
    EXPECT_NE(MakeD2xxBackend(), nullptr);
}

TEST(D2xxBackend, DrivesTheLibraryThroughTheCommonOperations) {
    Control<void (*)()>("Standin_Reset")();
    SetAdapterBackend(MakeD2xxBackend(STANDIN_D2XX_PATH));
    ASSERT_EQ(AdapterBackendName(), "d2xx");

    DWORD n = 0;
    ASSERT_EQ(FT_CreateDeviceInfoList(&n), FT_OK);
    ASSERT_EQ(n, 2u);
    char serial[kFtSerialLen], desc[kFtDescriptionLen];
    DWORD flags, type, id, loc;
    FT_HANDLE tmp;
    ASSERT_EQ(FT_GetDeviceInfoDetail(0, &flags, &type, &id, &loc, serial, desc, &tmp), FT_OK);
    EXPECT_STREQ(serial, "FT123456");
    EXPECT_STREQ(desc, "USB BASE PROGRAMMER");
    EXPECT_NE(FT_GetDeviceInfoDetail(2, &flags, &type, &id, &loc, serial, desc, &tmp), FT_OK);

    FT_HANDLE shoe = nullptr;
    ASSERT_EQ(FT_Open(0, &shoe), FT_OK);
    FTDCB dcb{};
    ASSERT_TRUE(FT_W32_GetCommState(shoe, &dcb));
    dcb.BaudRate = 19200;
    dcb.ByteSize = 8;
    dcb.Parity = 0;
    ASSERT_TRUE(FT_W32_SetCommState(shoe, &dcb));
    EXPECT_EQ(Control<uint32_t (*)(int)>("Standin_Baud")(0), 19200u);

    uint8_t query[] = {0x01, 0x31, 0x02, 0x03};
    DWORD written = 0;
    ASSERT_EQ(FT_Write(shoe, query, 4, &written), FT_OK);
    EXPECT_EQ(written, 4u);
    uint8_t back[8];
    EXPECT_EQ(Control<uint32_t (*)(int, uint8_t*, uint32_t)>("Standin_Written")(0, back, 8), 4u);
    EXPECT_EQ(FT_SetTimeouts(shoe, 200, 0), FT_OK);
    std::string reply;
    uint8_t byte;
    DWORD got;
    while (FT_Read(shoe, &byte, 1, &got) == FT_OK && got == 1) reply += static_cast<char>(byte);
    EXPECT_EQ(reply.substr(15, 4), "9.99");
    EXPECT_EQ(FT_Purge(shoe, FT_PURGE_RX | FT_PURGE_TX), FT_OK);

    FT_HANDLE cable = nullptr;
    char cableName[] = "TTL232R-3V3", other[] = "NO SUCH CABLE";
    EXPECT_EQ(FT_OpenEx(other, FT_OPEN_BY_DESCRIPTION, &cable), FT_DEVICE_NOT_FOUND);
    ASSERT_EQ(FT_OpenEx(cableName, FT_OPEN_BY_DESCRIPTION, &cable), FT_OK);
    EXPECT_NE(cable, shoe);
    EXPECT_EQ(AdapterOpenProblem(), "");
    // The driver says only "not opened": the operator hears the likely causes.
    FT_HANDLE again = nullptr;
    EXPECT_EQ(FT_OpenEx(cableName, FT_OPEN_BY_DESCRIPTION, &again), FT_DEVICE_NOT_OPENED);
    EXPECT_NE(AdapterOpenProblem().find("another program holds it"), std::string::npos);
    EXPECT_NE(AdapterOpenProblem().find("sudo rmmod ftdi_sio"), std::string::npos);

    DWORD rx, tx, ev;
    EXPECT_EQ(FT_GetStatus(shoe, &rx, &tx, &ev), FT_OK);
    Control<void (*)(int)>("Standin_Unplug")(0);
    EXPECT_EQ(FT_GetStatus(shoe, &rx, &tx, &ev), FT_IO_ERROR);
    EXPECT_EQ(FT_GetStatus(cable, &rx, &tx, &ev), FT_OK);
    EXPECT_EQ(FT_Close(shoe), FT_OK);
    EXPECT_EQ(FT_Close(cable), FT_OK);
}

struct Selection {
    const char* device;   // KESTRIN_DEVICE
    const char* library;  // KESTRIN_D2XX_LIBRARY
    const char* chosen;
    bool problem;  // the operator is told why no adapters can be reached
};
void PrintTo(const Selection& s, std::ostream* os) {
    *os << (s.device ? s.device : "(unset)") << " -> " << s.chosen;
}

class BackendSelection : public ::testing::TestWithParam<Selection> {};

TEST_P(BackendSelection, FollowsTheEnvironment) {
    const Selection& s = GetParam();
    EnvVar device("KESTRIN_DEVICE", s.device);
    EnvVar library("KESTRIN_D2XX_LIBRARY", s.library);
    SelectAdapterBackendFromEnvironment();
    EXPECT_EQ(AdapterBackendName(), s.chosen);
    EXPECT_EQ(AdapterBackendProblem().empty(), !s.problem) << AdapterBackendProblem();
}

constexpr const char* kNoLibrary = "/nonexistent/libftd2xx.so";
#if defined(_WIN32)
// Only the vendor's driver reaches the adapters there.
constexpr Selection kWithoutLibrary{nullptr, kNoLibrary, "none", true};
constexpr Selection kSerial{"serial", STANDIN_D2XX_PATH, "none", true};
#else
constexpr Selection kWithoutLibrary{nullptr, kNoLibrary, "serial", false};
constexpr Selection kSerial{"serial", STANDIN_D2XX_PATH, "serial", false};
#endif

INSTANTIATE_TEST_SUITE_P(
    Env, BackendSelection,
    ::testing::Values(Selection{nullptr, STANDIN_D2XX_PATH, "d2xx", false}, kWithoutLibrary,
                      Selection{"simulator", STANDIN_D2XX_PATH, "simulator", false}, kSerial,
                      Selection{"d2xx", STANDIN_D2XX_PATH, "d2xx", false},
                      // Forced but missing: no adapters rather than a surprise.
                      Selection{"d2xx", kNoLibrary, "none", true},
                      // Unknown: chosen as if unset.
                      Selection{"bluetooth", kNoLibrary, kWithoutLibrary.chosen,
                                kWithoutLibrary.problem}));

TEST(D2xxBackend, AMissingLibraryIsNamedWithItsCause) {
    std::string error;
    EXPECT_EQ(MakeD2xxBackend(kNoLibrary, &error), nullptr);
    const std::string named = "\"/nonexistent/libftd2xx.so\": ";
    const std::size_t at = error.find(named);
    ASSERT_NE(at, std::string::npos) << error;
    EXPECT_NE(error[at + named.size()], ')') << "no cause given: " << error;
    error.clear();
    EXPECT_EQ(MakeD2xxBackend(STANDIN_D2XX_INCOMPLETE_PATH, &error), nullptr);
    EXPECT_NE(error.find("has no entry point FT_Purge"), std::string::npos) << error;

    // The text the operator sees names the library the program looked for.
    EnvVar device("KESTRIN_DEVICE", "d2xx");
    EnvVar library("KESTRIN_D2XX_LIBRARY", nullptr);
    SelectAdapterBackendFromEnvironment();
    if (AdapterBackendName() == "d2xx") GTEST_SKIP() << "the vendor library is installed here";
    EXPECT_NE(AdapterBackendProblem().find(DefaultD2xxLibraryNames().front()), std::string::npos)
        << AdapterBackendProblem();
    EXPECT_NE(AdapterBackendProblem().find("Install the FTDI D2XX driver"), std::string::npos);
}

}  // namespace
}  // namespace kestrin
