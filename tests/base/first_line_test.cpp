// The first-line reader: line ends, the length bound, the code page, and a
// file that is closed again on every path.
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "base/errors.h"
#include "base/first_line.h"
#include "support/case_name.h"
#include "support/fake_local.h"

namespace keldo {

namespace {

const Text kFile = u"D:\\Keldo6\\LATEST_PROGS\\keldo63version.dat";
const std::string kBound(kMaxFirstLineBytes, 'a');

struct LineCase {
  const char* name;
  std::string bytes;
  std::optional<Text> line;  // nullopt: a failed read
};

const LineCase kLines[] = {
    {"CrLf", "v6.3.215 01/12/2024\r\nv6.3.1 x\r\n", u"v6.3.215 01/12/2024"},
    {"CrAlone", "abc\rdef", u"abc"},
    {"LfAloneStaysInTheLine", "abc\ndef\n", u"abc\ndef\n"},
    {"NoLineEnd", "  abc  ", u"  abc  "},
    {"EmptyFirstLine", "\r\nabc", u""},
    {"ZeroBytes", "", std::nullopt},
    {"ExactlyAtTheBound", kBound + "\r\n", Text(kMaxFirstLineBytes, u'a')},
    {"AtTheBoundWithoutLineEnd", kBound, Text(kMaxFirstLineBytes, u'a')},
    {"OverTheBound", kBound + "a\r\n", std::nullopt},
    {"OverTheBoundWithoutLineEnd", kBound + "a", std::nullopt},
    {"Windows1252", "\x80 caf\xe9 \x93q\x94\r\n", u"\u20ac caf\u00e9 \u201cq\u201d"},
};

class FirstLine : public testing::TestWithParam<LineCase> {};

TEST_P(FirstLine, ReadsUpToTheFirstCarriageReturn) {
  for (const std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{1} << 20}) {
    FakeTextFiles files;
    files.readChunk = chunk;
    files.contents[kFile] = GetParam().bytes;
    if (GetParam().line) {
      EXPECT_EQ(ReadFirstLine(files, kFile), *GetParam().line) << chunk;
    } else {
      EXPECT_THROW(ReadFirstLine(files, kFile), RunTimeError) << chunk;
    }
    EXPECT_EQ(files.openHandles, 0);
    EXPECT_EQ(files.opens, 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, FirstLine, testing::ValuesIn(kLines), CaseName());

}  // namespace

}  // namespace keldo
