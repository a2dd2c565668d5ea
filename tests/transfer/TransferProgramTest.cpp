// The settings and equalizer files through the real program's command line
// on the test prefix's registry: an export imported after the settings were
// wiped gives the same root key, value for value; a hostile file is refused
// with its line and changes nothing; and the store-side rules of an import
// (replace or skip, the chosen preset, what an export cannot carry).
#include "ChildProcess.h"
#include "SettingsFile.h"
#include "SettingsTransfer.h"
#include "TestSupport.h"
#include "Utf8.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

const std::wstring kRoot = L"Software\\Marvolin\\VANTIR";

std::wstring TempFolder()
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"zephrin-transfer-test";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::wstring& path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

ChildResult Zephrin(const std::wstring& arguments)
{
    return RunBinProgram(L"Zephrin.exe", arguments);
}

std::wstring Quoted(const std::wstring& path)
{
    return L"\"" + path + L"\"";
}

class TransferProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The settings of a person who uses the panel, in English; the
        // installer's Info values beside them.
        testsupport::DeleteTree(kRoot);
        testsupport::SetText(kRoot + L"\\Info", L"DriverVer", L"6.1.7600.16385");
        testsupport::SetText(kRoot + L"\\Info", L"CPLVer", L"1.0.0");
        testsupport::SetText(kRoot + L"\\CPL", L"language", L"2");
        const wchar_t* hifi[][2] = {{L"isDrySoundOn", L"1"}, {L"InitialButtonOn", L"3"}, {L"EQPreset", L"11"},
                                    {L"RegionStyle", L"4"},  {L"Customize", L"1"},       {L"Bass", L"52"},
                                    {L"Treble", L"0"},       {L"ENVEnable", L"1"},       {L"Environment", L"22"},
                                    {L"RoomEnable", L"0"},   {L"RoomSize", L"2"}};
        for (const auto& [name, value] : hifi)
            testsupport::SetText(kRoot + L"\\Hifi", name, value);
        for (int band = 0; band < 10; ++band)
            testsupport::SetText(kRoot + L"\\Hifi", L"eq_" + std::to_wstring(band),
                                 std::to_wstring(band % 2 ? -1310720 : 1310680 - band));
        testsupport::SetText(kRoot + L"\\Digital", L"DigitalOutSr", L"3");
        StorePreset(L"Rock", 65536, L"0");
        StorePreset(L"耳機校正 ✓ 𝄞 Écoute", -200000, L"1");
        StorePreset(std::wstring(255, L'Z'), 1, L"0");
    }

    static void StorePreset(const std::wstring& name, int32_t first, const wchar_t* flag)
    {
        const std::wstring key = kRoot + L"\\Custom\\" + name;
        for (int band = 0; band < 10; ++band)
            testsupport::SetText(key, L"eq_" + std::to_wstring(band), std::to_wstring(first * (band - 4)));
        if (flag)
            testsupport::SetText(key, L"flag", flag);
    }

    // Everything the panel keeps goes; the installer's Info stays.
    static void Wipe()
    {
        for (const wchar_t* sub : {L"\\CPL", L"\\Hifi", L"\\Digital", L"\\Custom"})
            testsupport::DeleteTree(kRoot + sub);
    }

    testsupport::RegistrySnapshot m_saved{kRoot};
    const std::wstring m_folder = TempFolder();
    const std::wstring m_file = m_folder + L"\\settings.txt";
};

} // namespace

TEST_F(TransferProgram, AnExportImportedAfterAWipeGivesTheSameRootKey)
{
    const testsupport::RegistryTree before = testsupport::ReadTree(kRoot);
    const ChildResult exported = Zephrin(L"/export " + Quoted(m_file));
    ASSERT_EQ(exported.exitCode, 0u) << exported.output;
    EXPECT_NE(exported.output.find("Exported 23 settings and 3 presets to"), std::string::npos) << exported.output;
    const std::string file = ReadBytes(m_file);
    EXPECT_EQ(file.find("DriverVer"), std::string::npos);
    EXPECT_NE(file.find(utf8::Encode(L"name = 耳機校正 ✓ 𝄞 Écoute\r\n")), std::string::npos);

    Wipe();
    const ChildResult imported = Zephrin(L"/import " + Quoted(m_file));
    ASSERT_EQ(imported.exitCode, 0u) << imported.output;
    // Told in the language of the settings it brought.
    EXPECT_NE(imported.output.find("Imported 23 settings and 3 presets"), std::string::npos) << imported.output;
    EXPECT_EQ(testsupport::ReadTree(kRoot), before);

    // On a machine where only the installer wrote its keys, the same.
    testsupport::DeleteTree(kRoot);
    for (const wchar_t* sub : {L"\\CPL", L"\\Hifi", L"\\Digital"})
        testsupport::CreateKey(kRoot + sub);
    testsupport::SetText(kRoot + L"\\Info", L"DriverVer", L"6.1.7600.16385");
    testsupport::SetText(kRoot + L"\\Info", L"CPLVer", L"1.0.0");
    ASSERT_EQ(Zephrin(L"/import " + Quoted(m_file)).exitCode, 0u);
    EXPECT_EQ(testsupport::ReadTree(kRoot), before);
    // And the export of the result is the same file.
    const std::wstring again = m_folder + L"\\again.txt";
    ASSERT_EQ(Zephrin(L"/export " + Quoted(again)).exitCode, 0u);
    EXPECT_EQ(ReadBytes(again), file);
}

TEST_F(TransferProgram, FiveHundredPresetsMakeTheRoundTrip)
{
    for (int i = 0; i < 500; ++i)
        StorePreset(L"Preset " + std::to_wstring(i) + (i % 3 ? L"" : L" 低音"), 100 * i - 25000,
                    i == 250 ? nullptr : L"0");
    const testsupport::RegistryTree before = testsupport::ReadTree(kRoot);
    ASSERT_EQ(Zephrin(L"/export " + Quoted(m_file)).exitCode, 0u);
    Wipe();
    const ChildResult imported = Zephrin(L"/import " + Quoted(m_file));
    ASSERT_EQ(imported.exitCode, 0u) << imported.output;
    EXPECT_NE(imported.output.find("and 503 presets"), std::string::npos) << imported.output;
    EXPECT_EQ(testsupport::ReadTree(kRoot), before);
}

TEST_F(TransferProgram, AHostileFileIsRefusedWithItsLineAndChangesNothing)
{
    ASSERT_EQ(Zephrin(L"/export " + Quoted(m_file)).exitCode, 0u);
    const std::string good = ReadBytes(m_file);
    // Lines of the exported file: 4 language, 6 [Hifi], 29 [Digital], 30
    // DigitalOutSr, 32 the first [Preset], 33 its name, 34 ... 43 its bands.
    ASSERT_EQ(good.find("[Preset]\r\nname = Rock"), good.find("[Preset]"));
    struct Case {
        const char* what;
        std::string bytes;
        const char* expected;
    };
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 7919) & 0xFF);
    const std::vector<Case> cases = {
        {"empty", "", "The file is empty."},
        {"binary", binary, "this is not a Zephrin settings file"},
        {"10 MB", std::string(10 * 1024 * 1024, '#'), "The file is larger than 1 MB."},
        {"version 2", Replace(good, "version 1", "version 2"), "Line 1: settings file version \"2\" is not supported"},
        {"language 3", Replace(good, "language = 2", "language = 3"), "Line 4: language is outside the range 0 to 2."},
        {"digital 5", Replace(good, "DigitalOutSr = 3", "DigitalOutSr = 5"),
         "Line 30: DigitalOutSr is outside the range 0 to 4."},
        {"a band beyond +20 dB", Replace(good, "eq_0 = -262144", "eq_0 = 1310721"),
         "Line 34: eq_0 is outside the range -1310720 to 1310680."},
        {"a section twice", Replace(good, "[Digital]", "[Hifi]\r\nBass = 1\r\n[Digital]"),
         "Line 29: section [Hifi] appears again (first on line 6)."},
        {"a backslash", Replace(good, "name = Rock", "name = Rock\\Live"), "Line 33: the preset name \"Rock\\Live\""},
        {"only spaces", Replace(good, "name = Rock", "name =     "), "Line 33: the preset name \"\" is not valid"},
        {"a band missing", Replace(good, "eq_3 = -65536\r\n", ""), "Line 32: the preset lacks eq_3."},
        {"a name twice", Replace(good, "name = Rock", "name = ROCK\r\n[Preset]\r\nname = rock"),
         "Line 35: the preset name \"rock\" appears again (first on line 33)"},
    };
    const testsupport::RegistryTree before = testsupport::ReadTree(kRoot);
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.what);
        // Each case in one of the four forms of line ends and byte order mark.
        std::string bytes = c.bytes;
        if (i % 2)
            for (size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at))
                bytes.erase(at, 1);
        if (i % 4 >= 2 && !bytes.empty())
            bytes = std::string(utf8::kByteOrderMark) + bytes;
        const std::wstring path = m_folder + L"\\hostile.txt";
        WriteBytes(path, bytes);
        const ChildResult result = Zephrin(L"/import " + Quoted(path));
        EXPECT_EQ(result.exitCode, 1u);
        EXPECT_NE(result.output.find("cannot be imported; nothing was changed"), std::string::npos) << result.output;
        EXPECT_NE(result.output.find(c.expected), std::string::npos) << result.output;
        EXPECT_EQ(testsupport::ReadTree(kRoot), before);
    }
    // The same file without its problem, in every form, is taken.
    Wipe();
    WriteBytes(m_file, std::string(utf8::kByteOrderMark) + Replace(good, "\r\n", "\n"));
    EXPECT_EQ(Zephrin(L"/import " + Quoted(m_file)).exitCode, 0u);
    EXPECT_EQ(testsupport::ReadTree(kRoot), before);
}

TEST_F(TransferProgram, ExistingPresetsAreReplacedWhole_OrKept_AndTheFilesChosenPresetStaysTheChosenOne)
{
    settingsfile::Contents contents;
    settingsfile::Preset rock;
    rock.name = L"ROCK";
    rock.gains.fill(7);
    rock.flag = 1;
    settingsfile::Preset fresh;
    fresh.name = L"Fresh";
    fresh.gains.fill(-7);
    contents.presets = {rock, fresh};
    testsupport::SetText(kRoot + L"\\Custom\\Rock", L"note", L"kept by someone");

    const testsupport::RegistryTree before = testsupport::ReadTree(kRoot);
    using settingstransfer::ExistingPresets;
    const settingstransfer::Written kept = settingstransfer::WriteToStore(contents, ExistingPresets::Skip);
    EXPECT_EQ(kept.presets, 1);
    EXPECT_EQ(kept.skipped, 1);
    std::wstring text;
    EXPECT_TRUE(testsupport::GetText(kRoot + L"\\Custom\\Rock", L"note", &text));
    ASSERT_TRUE(testsupport::GetText(kRoot + L"\\Custom\\Fresh", L"eq_9", &text));
    EXPECT_EQ(text, L"-7");
    EXPECT_FALSE(testsupport::GetText(kRoot + L"\\Custom\\Fresh", L"flag", &text)) << "not in the file";
    // The skipped preset's flag was not written, so the chosen one stays.
    ASSERT_TRUE(testsupport::GetText(kRoot + L"\\Custom\\耳機校正 ✓ 𝄞 Écoute", L"flag", &text));
    EXPECT_EQ(text, L"1");

    const settingstransfer::Written replaced = settingstransfer::WriteToStore(contents, ExistingPresets::Replace);
    EXPECT_EQ(replaced.presets, 2);
    EXPECT_EQ(replaced.replaced, 2);
    EXPECT_EQ(replaced.failed, 0);
    // Replaced whole: the file's spelling, no value of the old one.
    const testsupport::RegistryTree after = testsupport::ReadTree(kRoot + L"\\Custom");
    EXPECT_EQ(after.count(L"ROCK|"), 1u);
    EXPECT_EQ(after.count(L"ROCK|note"), 0u);
    ASSERT_TRUE(testsupport::GetText(kRoot + L"\\Custom\\Rock", L"flag", &text));
    EXPECT_EQ(text, L"1");
    // Choosing a preset marks every other one as not chosen.
    ASSERT_TRUE(testsupport::GetText(kRoot + L"\\Custom\\耳機校正 ✓ 𝄞 Écoute", L"flag", &text));
    EXPECT_EQ(text, L"0");
    EXPECT_NE(testsupport::ReadTree(kRoot), before);
}

TEST_F(TransferProgram, AnExportClampsWhatThePanelClampsAndNamesWhatItLeavesOut)
{
    testsupport::SetText(kRoot + L"\\Hifi", L"eq_3", L"1310720");   // the page shows +1310680
    testsupport::SetText(kRoot + L"\\Hifi", L"Bass", L"70");        // the knob shows 52
    testsupport::SetText(kRoot + L"\\Hifi", L"Environment", L"99"); // means nothing to the page
    testsupport::SetText(kRoot + L"\\Custom\\ Lead", L"eq_0", L"1"); // a name a file cannot keep
    const ChildResult exported = Zephrin(L"/export " + Quoted(m_file));
    ASSERT_EQ(exported.exitCode, 0u) << exported.output;
    EXPECT_NE(exported.output.find("Exported 22 settings and 3 presets"), std::string::npos) << exported.output;
    EXPECT_NE(exported.output.find("Hifi\\Environment = 99 (outside its range)"), std::string::npos);
    EXPECT_NE(exported.output.find("the preset \" Lead\" (its name cannot be kept in a file)"), std::string::npos);
    const std::string file = ReadBytes(m_file);
    EXPECT_NE(file.find("eq_3 = 1310680\r\n"), std::string::npos);
    EXPECT_NE(file.find("Bass = 52\r\n"), std::string::npos);
    EXPECT_EQ(file.find("Environment"), std::string::npos);
}

TEST_F(TransferProgram, EqualizerFilesBecomeNewPresetsUnderTheNameRules)
{
    const std::wstring correction = m_folder + L"\\My Headphones.txt";
    WriteBytes(correction, "Preamp: -6 dB\nFilter 1: ON PK Fc 1000 Hz Gain 6 dB Q 1\nChannel: L\n");
    const testsupport::RegistryTree before = testsupport::ReadTree(kRoot);

    ChildResult result = Zephrin(L"/import-eq " + Quoted(correction));
    ASSERT_EQ(result.exitCode, 0u) << result.output;
    EXPECT_NE(result.output.find("Saved the preset \"My Headphones\""), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("(0 bands limited, 1 lines skipped)"), std::string::npos) << result.output;
    std::wstring text;
    ASSERT_TRUE(testsupport::GetText(kRoot + L"\\Custom\\My Headphones", L"eq_5", &text));
    EXPECT_EQ(text, L"0"); // +6 dB at the centre, -6 dB preamp
    ASSERT_TRUE(testsupport::GetText(kRoot + L"\\Custom\\My Headphones", L"flag", &text));
    EXPECT_EQ(text, L"0");

    // The name rules of the Hifi page: a name in use (in any case) or an
    // invalid one is refused, and nothing is written.
    const testsupport::RegistryTree withOne = testsupport::ReadTree(kRoot);
    result = Zephrin(L"/import-eq " + Quoted(correction) + L" \"  my headphones \"");
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_NE(result.output.find("The preset \"my headphones\" exists already"), std::string::npos) << result.output;
    result = Zephrin(L"/import-eq " + Quoted(correction) + L" \"a\\b\"");
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_NE(result.output.find("is not valid"), std::string::npos) << result.output;
    const std::wstring useless = m_folder + L"\\useless.txt";
    WriteBytes(useless, "Preamp: -6 dB\nFilter 1: OFF PK Fc 1000 Hz Gain 6 dB Q 1\n");
    result = Zephrin(L"/import-eq " + Quoted(useless) + L" Other");
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_NE(result.output.find("The file holds no usable filter"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("Line 2: the filter is switched off."), std::string::npos) << result.output;
    EXPECT_EQ(testsupport::ReadTree(kRoot), withOne);

    // Back out in the graphic format, and in again as the same bands.
    const std::wstring graphic = m_folder + L"\\graphic.txt";
    ASSERT_EQ(Zephrin(L"/export-eq \"My Headphones\" " + Quoted(graphic)).exitCode, 0u);
    EXPECT_EQ(ReadBytes(graphic).rfind("GraphicEQ: 30 ", 0), 0u);
    ASSERT_EQ(Zephrin(L"/import-eq " + Quoted(graphic) + L" Again").exitCode, 0u);
    for (int band = 0; band < 10; ++band) {
        std::wstring first, again;
        const std::wstring name = L"eq_" + std::to_wstring(band);
        ASSERT_TRUE(testsupport::GetText(kRoot + L"\\Custom\\My Headphones", name, &first));
        ASSERT_TRUE(testsupport::GetText(kRoot + L"\\Custom\\Again", name, &again));
        EXPECT_EQ(first, again) << band;
    }
    EXPECT_EQ(Zephrin(L"/export-eq Nobody " + Quoted(graphic)).exitCode, 1u);
    EXPECT_EQ(Zephrin(L"/import-eq").exitCode, 2u);
    EXPECT_EQ(Zephrin(L"/export a b").exitCode, 2u);
    (void)before;
}
