#include "PadlinkSDK/PadlinkRPCLib/Padlink_SharedUDID.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include "PadlinkSDK/PadlinkRPCLib/Vendor/OpenSSLFunctions.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/Log.h"
#include "support/TestSupport.h"

namespace {

class SharedUDIDTest : public testing::Test {
protected:
    SharedUDIDTest() { Padlink_SharedUDID::setStoreLocations(defaultsFile(), slots()); }
    ~SharedUDIDTest() override { Padlink_SharedUDID::setStoreLocations("", ""); }

    std::string defaultsFile() const { return folder_.file("config/UserDefaults.plist"); }
    std::string slots() const { return folder_.file("shared"); }
    std::string slotFile(int slot) const { return slots() + "/" + Padlink_SharedUDID::kSlotPrefix + std::to_string(slot); }

    // The local record, as the user defaults hold it.
    Value storedRecord() const {
        auto defaults = Value::fromFile(defaultsFile(), nullptr);
        return defaults ? (*defaults)["SharedUDID"] : Value();
    }

    // A slot written as another program following the scheme would.
    void writeSlot(int slot, const std::string& identifier) const {
        KeyedArchiver archiver;
        archiver.encodeValue("SharedUDID", identifier);
        archiver.encodeValue("SharedUDID_appUID", "OTHER-APP");
        Value file = Value::dictionary();
        file.set(Padlink_SharedUDID::kDataType, Value::data(archiver.archivedData()));
        folder_.write("shared/" + std::string(Padlink_SharedUDID::kSlotPrefix) + std::to_string(slot), file.toXML());
    }

    void restartProcess() const { Padlink_SharedUDID::setStoreLocations(defaultsFile(), slots()); }

    std::string valueWithCode(int64_t expectedCode) const {
        RefPtr<Error> error;
        const std::string value = Padlink_SharedUDID::valueWithError(&error);
        EXPECT_TRUE(error && error->code() == expectedCode) << (error ? error->description() : "no error");
        if (error) {
            EXPECT_EQ(error->userInfo()["description"].stringValue(), error->localizedDescription());
        }
        return value;
    }

    TemporaryFolder folder_;
};

const std::regex kIdentifier("[0-9a-f]{40}");

TEST_F(SharedUDIDTest, FreshIdentifierIsStoredInTheDefaultsAndSlotZero) {
    const std::string value = valueWithCode(0);
    EXPECT_TRUE(std::regex_match(value, kIdentifier)) << value;
    EXPECT_EQ(storedRecord()["SharedUDID"].stringValue(), value);
    EXPECT_EQ(storedRecord()["SharedUDID_slot"].stringValue(), std::string(Padlink_SharedUDID::kSlotPrefix) + "0");
    struct stat status {};
    ASSERT_EQ(stat(slotFile(0).c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    // Later runs find it again and do not spread it over more slots.
    restartProcess();
    EXPECT_EQ(valueWithCode(0), value);
    restartProcess();
    EXPECT_EQ(valueWithCode(0), value);
    EXPECT_NE(stat(slotFile(1).c_str(), &status), 0);
    // Cached for the rest of the process, whatever happens to the files.
    std::remove(defaultsFile().c_str());
    std::remove(slotFile(0).c_str());
    EXPECT_EQ(valueWithCode(0), value);
}

// Without OpenSSL no new identifier can be made: the look-up fails and leaves nothing behind, so a
// later one with OpenSSL makes it as usual; one already kept needs no OpenSSL.
TEST_F(SharedUDIDTest, WithoutOpenSSLOnlyAKeptIdentifierIsAnswered) {
    {
        const HiddenOpenSSL withoutOpenSSL;
        EXPECT_EQ(valueWithCode(3), "");
        EXPECT_FALSE(std::filesystem::exists(defaultsFile()) || std::filesystem::exists(slots()));
    }
    const std::string made = valueWithCode(0);
    EXPECT_TRUE(std::regex_match(made, kIdentifier)) << made;
    restartProcess();
    const HiddenOpenSSL withoutOpenSSL;
    EXPECT_EQ(valueWithCode(0), made);
}

// The missing OpenSSL is said once per run, and again after new store locations start one over.
TEST_F(SharedUDIDTest, TheMissingOpenSSLIsSaidOncePerRun) {
    const HiddenOpenSSL withoutOpenSSL;
    LogCapture log;
    const auto told = [&] {
        const std::vector<std::string> lines = log.lines();
        return std::count_if(lines.begin(), lines.end(),
                             [](const std::string& line) { return line.find("libssl3 (libssl.so.3)") != line.npos; });
    };
    for (int lookUp = 0; lookUp < 2; ++lookUp) EXPECT_EQ(valueWithCode(3), "");
    EXPECT_EQ(told(), 1);
    restartProcess();
    EXPECT_EQ(valueWithCode(3), "");
    EXPECT_EQ(told(), 2);
}

TEST_F(SharedUDIDTest, OptingOutAnswersZerosUntilOptedBackIn) {
    const std::string value = Padlink_SharedUDID::value();
    Padlink_SharedUDID::setOptOut(true);
    EXPECT_EQ(valueWithCode(1), std::string(40, '0'));
    EXPECT_TRUE(storedRecord()["SharedUDID_optOutTS"].isDate());
    Padlink_SharedUDID::setOptOut(false);
    EXPECT_EQ(valueWithCode(0), value);
}

// Opted out with nothing kept and no OpenSSL: the zeros need no digest, and with no identifier at
// hand nothing is stored; once OpenSSL is back and the opt-out ends, one is made and kept.
TEST_F(SharedUDIDTest, OptedOutWithoutOpenSSLAnswersZerosAndStoresNothing) {
    {
        const HiddenOpenSSL withoutOpenSSL;
        Padlink_SharedUDID::setOptOut(true);
        const Value optedOut = storedRecord();
        ASSERT_TRUE(optedOut["SharedUDID_optOutTS"].isDate());
        EXPECT_EQ(valueWithCode(1), std::string(40, '0'));
        EXPECT_EQ(storedRecord(), optedOut);
        EXPECT_FALSE(std::filesystem::exists(slots()));
    }
    Padlink_SharedUDID::setOptOut(false);
    const std::string made = valueWithCode(0);
    EXPECT_TRUE(std::regex_match(made, kIdentifier)) << made;
    EXPECT_EQ(storedRecord()["SharedUDID"].stringValue(), made);
}

TEST_F(SharedUDIDTest, StoredIdentifierWinsOverDifferingSlotsWithADiscrepancy) {
    const std::string mine(40, 'a'), theirs(40, 'b');
    writeSlot(0, theirs);
    writeSlot(1, theirs);
    Value record = Value::dictionary();
    record.set("SharedUDID", mine);
    record.set("SharedUDID_slot", std::string(Padlink_SharedUDID::kSlotPrefix) + "7");
    Value defaults = Value::dictionary();
    defaults.set("SharedUDID", record);
    folder_.write("config/UserDefaults.plist", defaults.toXML());
    EXPECT_EQ(valueWithCode(2), mine);
}

TEST_F(SharedUDIDTest, SlotsOfTheWrongShapeCountAsEmpty) {
    const std::string theirs(40, 'c');
    folder_.write("shared/" + std::string(Padlink_SharedUDID::kSlotPrefix) + "0", "garbage");
    folder_.write("shared/" + std::string(Padlink_SharedUDID::kSlotPrefix) + "1", "<plist><array/></plist>");
    writeSlot(2, "C0FFEE");  // not an identifier, though more slots hold it
    writeSlot(4, "C0FFEE");
    writeSlot(3, theirs);
    folder_.write("config/UserDefaults.plist", "not a list");
    LogCapture log;
    EXPECT_EQ(valueWithCode(0), theirs);
    EXPECT_TRUE(log.contains("Padlink: Ignoring shared slot"));
    EXPECT_TRUE(log.contains("moved to " + defaultsFile() + ".corrupt-"));
    // The first empty slot now holds the identifier in use.
    restartProcess();
    std::remove(slotFile(3).c_str());
    std::remove(defaultsFile().c_str());
    EXPECT_EQ(valueWithCode(0), theirs);
}

}  // namespace
