// Reading back a lap journal that a crash or a power cut left damaged: every whole valid lap line is recovered,
// at most 1000, with the last whole saved mark. And the journals that refused offers keep, one beside another.
#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include "helpers/file_paths.h"
#include "laps/lap_journal.h"
#include "records/lap_list_record.h"
#include "records/window_messages.h"
#include "support/case_names.h"
#include "support/engine_test.h"
#include "support/test_support.h"
#include "timing/run_state.h"

namespace {

class RewritingAJournal : public test::EngineTest {};

std::string Lap(int number) {
  char line[64];
  snprintf(line, sizeof line, "%04d,00:00:%02d.00,00:%02d:00.00\r\n", number, number % 60, number % 60);
  return line;
}

std::string Laps(int first, int last) {
  std::string lines;
  for (int number = first; number <= last; ++number) lines += Lap(number);
  return lines;
}

struct DamagedJournal {
  const char* Name;
  std::string Bytes;
  int32_t Count;    // highest lap number recovered
  int32_t Present;  // laps recovered
  int32_t Saved;
};

class ReadingAJournal : public ::testing::TestWithParam<DamagedJournal> {};

TEST_P(ReadingAJournal, RecoversEveryWholeValidLine) {
  const DamagedJournal& journal = GetParam();
  const std::string path = test::ScratchFolder() + "\\Tavrilo.laps";
  test::WriteBytes(path, journal.Bytes);
  static RecoveredLaps laps;
  ASSERT_TRUE(ReadLapJournal(test::Wide(path).c_str(), laps));
  EXPECT_EQ(laps.Count, journal.Count);
  EXPECT_EQ(laps.Saved, journal.Saved);
  int32_t present = 0;
  for (int32_t number = 1; number <= MaxLaps; ++number) {
    const std::string text = laps.Records[number - 1].Text;
    if (text.empty()) continue;
    ++present;
    EXPECT_EQ(Lap(number).substr(0, 5) + text + "\r\n", Lap(number));
  }
  EXPECT_EQ(present, journal.Present);
}

const std::string Overlong = "0003,00:00:03.00," + std::string(200, '1') + "\r\n";

INSTANTIATE_TEST_SUITE_P(
    Damage, ReadingAJournal,
    ::testing::Values(
        DamagedJournal{"Whole", Laps(1, 3), 3, 3, 0},
        DamagedJournal{"CutMidLine", Laps(1, 2) + Lap(3).substr(0, 14), 2, 2, 0},
        DamagedJournal{"CutBeforeTheLineFeed", Laps(1, 2) + Lap(3).substr(0, Lap(3).size() - 1), 2, 2, 0},
        DamagedJournal{"ZerosAfterAPowerCut", Laps(1, 2) + std::string(512, '\0'), 2, 2, 0},
        DamagedJournal{"GarbageBetweenLines",
                       Lap(1) + "\xff\xfe garbage\r\n0002,00:00:02.00\r\n00x3,00:00:03.00,00:03:00.00\r\n" +
                           "0004,00:00:04.00,00:04:00.00,9\r\n1001,00:00:01.00,00:00:01.00\r\n" + Overlong + Lap(5),
                       5, 2, 0},
        DamagedJournal{"OverAThousandLines", Laps(1, 1010), 1000, 1000, 0},
        DamagedJournal{"SavedMarks", Lap(1) + "saved,1\r\n" + Lap(2) + "saved,2\r\n" + Lap(3) + "saved,9", 3, 3, 2},
        DamagedJournal{"EverythingSaved", Laps(1, 2) + "saved,2\r\nsaved,x\r\n", 2, 2, 2}),
    test::RowName);

TEST(ReadingAJournal, NoJournalIsNothingToRecover) {
  static RecoveredLaps laps;
  EXPECT_FALSE(ReadLapJournal(test::Wide(test::ScratchFolder() + "\\Tavrilo.laps").c_str(), laps));
}

// Laps refused at one start after another are each kept aside, none over another.
TEST(KeptJournals, EveryRefusedOfferKeepsItsLapsBesideTheOthers) {
  const std::wstring previous = PathBesideProgram(L".laps"), first = PathBesideProgram(L".1.laps"),
                     second = PathBesideProgram(L".2.laps");
  ASSERT_FALSE(previous.empty());
  const auto removeAll = [&] { for (const std::wstring& path : {previous, first, second}) DeleteFileW(path.c_str()); };
  removeAll();
  test::WriteBytes(test::Narrow(first), Laps(1, 2));
  test::WriteBytes(test::Narrow(previous), Laps(1, 3));
  static int offers;
  offers = 0;
  StartLapJournal(test::StandInMainWindow(), [](HWND, const LapRecord*, int32_t) { return ++offers == 0; });
  OnLapJournal(test::StandInMainWindow(), 0);
  EndLapJournal(RunEnd::Ended);
  EXPECT_EQ(offers, 2);
  EXPECT_EQ(test::ReadBytes(test::Narrow(first)), Laps(1, 2));
  EXPECT_EQ(test::ReadBytes(test::Narrow(second)), Laps(1, 3));
  EXPECT_FALSE(FileExists(previous.c_str()));
  removeAll();
}

// A lap taken back where the journal cannot be written afresh: the old journal, which holds that lap, is deleted
// and the failure said; the next lap writes the whole journal again. The run state beside it follows every lap,
// goes at the end, and says its own failure.
TEST_F(RewritingAJournal, ThatCannotBeCreatedIsDeletedAndSaidAndComesBackAtTheNextLap) {
  const std::wstring path = PathBesideProgram(L".laps"), run = PathBesideProgram(L".run");
  ASSERT_FALSE(path.empty());
  const HWND window = test::StandInMainWindow();
  StartLapJournal(window, [](HWND, const LapRecord*, int32_t) { return true; });
  OnLapJournal(window, 0);
  const auto take = [](int number, int seconds) {
    snprintf(LapList.Records[number - 1].Text, LapRecordSize, "%s", Lap(seconds).substr(5, 23).c_str());
    LapList.Count = number;
    JournalRecordedLaps();
  };
  take(1, 1), take(2, 2);
  ASSERT_EQ(test::ReadBytes(test::Narrow(path)), Laps(1, 2));
  EXPECT_TRUE(KillTimer(window, LapJournalFlushTimerId)) << "the disk waited for within a second";
  RunState state = {};
  ASSERT_TRUE(ReadRunStateFile(run.c_str(), state));
  EXPECT_EQ(state.Laps, 2);
  EXPECT_EQ(state.Sequence, 2);
  const std::string copies = test::ReadBytes(test::Narrow(run));  // two copies of 1024 bytes, each padded with zeros
  EXPECT_EQ(copies.size(), 2048u);
  for (const size_t copy : {size_t{0}, size_t{1024}}) {
    EXPECT_EQ(copies.find_first_not_of('\0', copies.find('\0', copy)), copy ? std::string::npos : 1024);
  }
  LapList.Count = 1;
  const auto create = CreateJournalFile;
  CreateJournalFile = [](LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
    return INVALID_HANDLE_VALUE;
  };
  RewriteLapJournal();
  CreateJournalFile = create;
  EXPECT_FALSE(FileExists(path.c_str())) << "no journal that offers the lap taken back";
  MSG said;
  EXPECT_TRUE(PeekMessageW(&said, window, WM_LAP_JOURNAL_FAILED, WM_LAP_JOURNAL_FAILED, PM_REMOVE));
  EXPECT_EQ(said.wParam, 0u);
  take(2, 7);
  EXPECT_EQ(test::ReadBytes(test::Narrow(path)), Lap(1) + "0002," + Lap(7).substr(5));
  EndLapJournal(RunEnd::Ended);
  EXPECT_FALSE(FileExists(run.c_str())) << "the measurement ended with the run";

  StartLapJournal(window, [](HWND, const LapRecord*, int32_t) { return true; });
  OnLapJournal(window, 0);
  CreateJournalFile = [](LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
    return INVALID_HANDLE_VALUE;
  };
  for (int write = 0; write < 2; ++write) WriteRunState();
  CreateJournalFile = create;
  EXPECT_TRUE(PeekMessageW(&said, window, WM_LAP_JOURNAL_FAILED, WM_LAP_JOURNAL_FAILED, PM_REMOVE));
  EXPECT_EQ(said.wParam, 1u);
  EXPECT_FALSE(PeekMessageW(&said, window, WM_LAP_JOURNAL_FAILED, WM_LAP_JOURNAL_FAILED, PM_REMOVE)) << "once";
  EndLapJournal(RunEnd::Ended);
}

}  // namespace
