#include "tools/MsgCommandLine.h"

#include <gtest/gtest.h>

namespace parlino {

void PrintTo(const MsgCommand& command, std::ostream* out)
{
    *out << "kind " << static_cast<int>(command.kind) << " target '" << command.target.toStdString() << "' text '"
         << command.text.toStdString() << "' from '" << command.from.toStdString() << "' json " << command.json
         << " count " << command.count << " timeout " << command.timeout << " watch " << command.watch << " smb "
         << command.smb << " file '" << command.file.toStdString() << "'";
}

namespace {

using Kind = MsgCommand::Kind;

// Each row is accepted as the command given, or refused with one line that names the fault.
struct Row
{
    const char* what;
    QStringList arguments;
    MsgCommand command;
    const char* refusal = nullptr;
};

class MsgCommandLineTest : public testing::TestWithParam<Row>
{
};

TEST_P(MsgCommandLineTest, AcceptedAsTheCommandOrRefusedInOneLine)
{
    const std::variant<MsgCommand, QString> parsed = ParseMsgCommandLine(GetParam().arguments);
    if (!GetParam().refusal) {
        ASSERT_TRUE(std::holds_alternative<MsgCommand>(parsed)) << std::get<QString>(parsed).toStdString();
        EXPECT_EQ(std::get<MsgCommand>(parsed), GetParam().command);
        return;
    }
    ASSERT_TRUE(std::holds_alternative<QString>(parsed)) << testing::PrintToString(std::get<MsgCommand>(parsed));
    const QString& refusal = std::get<QString>(parsed);
    EXPECT_TRUE(refusal.contains(QLatin1StringView(GetParam().refusal))) << refusal.toStdString();
    EXPECT_FALSE(refusal.contains('\n')) << refusal.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, MsgCommandLineTest,
    testing::Values(
        Row{"Nothing", {}, {.kind = Kind::Usage}}, Row{"Help", {"--help"}, {.kind = Kind::Help}},
        Row{"ShortHelpAfterACommand", {"send", "BOB", "-h"}, {.kind = Kind::Help}},
        Row{"HelpBeatsAnUnknownCommand", {"bogus", "--help"}, {.kind = Kind::Help}},
        Row{"Send", {"send", "BOB", "hello"}, {.kind = Kind::Send, .target = "BOB", .text = "hello"}},
        Row{"SendFromBeforeTheTarget",
            {"send", "--from", "ALICE", "*", "hi there"},
            {.kind = Kind::Send, .target = "*", .text = "hi there", .from = "ALICE"}},
        Row{"SendFromAtTheEnd",
            {"send", "OFFICE", "hi", "--from", "ALICE"},
            {.kind = Kind::Send, .target = "OFFICE", .text = "hi", .from = "ALICE"}},
        Row{"SendATextWithDashesAfterTheEndOfOptions",
            {"send", "BOB", "--", "-h --from"},
            {.kind = Kind::Send, .target = "BOB", .text = "-h --from"}},
        Row{"SendBySmb",
            {"send", "BOB", "--smb", "hi", "--from", "ALICE"},
            {.kind = Kind::Send, .target = "BOB", .text = "hi", .from = "ALICE", .smb = true}},
        Row{"Deliver",
            {"deliver", "root", "/tmp/msg.XXXX"},
            {.kind = Kind::Deliver, .from = "root", .file = "/tmp/msg.XXXX"}},
        Row{"DeliverAsSmbdRunsItWithTheAmpersandAsAWord",
            {"deliver", "root", "/tmp/msg.XXXX", "&"},
            {.kind = Kind::Deliver, .from = "root", .file = "/tmp/msg.XXXX"}},
        Row{"Listen", {"listen"}, {.kind = Kind::Listen}},
        Row{"ListenWithEveryOption",
            {"listen", "--timeout", "2.5", "--json", "--count", "4"},
            {.kind = Kind::Listen, .json = true, .count = 4, .timeout = 2.5}},
        Row{"Resolve", {"resolve", "bob"}, {.kind = Kind::Resolve, .target = "bob"}},
        Row{"Browse", {"browse"}, {.kind = Kind::Browse}},
        Row{"BrowseWatching", {"browse", "--watch", "60"}, {.kind = Kind::Browse, .watch = 60}},
        Row{"UnknownCommand", {"bogus", "--json"}, {}, "unknown command bogus"},
        Row{"OptionBeforeTheCommand", {"--json", "listen"}, {}, "unknown command --json"},
        Row{"AnotherCommandsOption", {"send", "BOB", "hi", "--json"}, {}, "json"},
        Row{"DashedWordIsOneOptionNotABundleHoldingHelp", {"send", "BOB", "-hello"}, {}, "hello"},
        Row{"FromWithoutItsName", {"send", "BOB", "hi", "--from"}, {}, "--from"},
        Row{"FromWithAnEmptyName", {"send", "BOB", "hi", "--from", ""}, {}, "--from needs a name"},
        Row{"SendWithoutText", {"send", "BOB"}, {}, "send needs TARGET and TEXT"},
        Row{"SendWithTwoTexts", {"send", "BOB", "hi", "there"}, {}, "send needs TARGET and TEXT"},
        Row{"CountEmpty", {"listen", "--count", ""}, {}, "--count takes a whole number"},
        Row{"CountBelowZero", {"listen", "--count", "-1"}, {}, "--count takes a whole number"},
        Row{"CountFraction", {"listen", "--count", "1.5"}, {}, "--count takes a whole number"},
        Row{"TimeoutMissing", {"listen", "--timeout"}, {}, "--timeout"},
        Row{"TimeoutNotANumber", {"listen", "--timeout", "nan"}, {}, "--timeout takes a number of seconds"},
        Row{"TimeoutBeyondATimer", {"listen", "--timeout", "1e12"}, {}, "--timeout takes a number of seconds"},
        Row{"TimeoutEmpty", {"listen", "--timeout", ""}, {}, "--timeout takes a number of seconds"},
        Row{"ListenWithAWordLeft", {"listen", "extra"}, {}, "unknown argument extra"},
        Row{"DeliverWithoutFile", {"deliver", "root"}, {}, "deliver needs FROM and FILE"},
        Row{"DeliverWithAWordLeft", {"deliver", "root", "f", "x"}, {}, "deliver needs FROM and FILE"},
        Row{"ResolveWithTwoNames", {"resolve", "BOB", "ALICE"}, {}, "resolve needs NAME"},
        Row{"ResolveTakesNoSmb", {"resolve", "BOB", "--smb"}, {}, "smb"},
        Row{"DeliverTakesNoSmb", {"deliver", "root", "f", "--smb"}, {}, "smb"},
        Row{"SmbIsForSendOnly", {"listen", "--smb"}, {}, "smb"},
        Row{"WatchBelowZero", {"browse", "--watch", "-1"}, {}, "--watch takes a number of seconds"},
        Row{"WatchForever", {"browse", "--watch", "inf"}, {}, "--watch takes a number of seconds"}),
    [](const testing::TestParamInfo<Row>& row) { return std::string(row.param.what); });

} // namespace
} // namespace parlino
