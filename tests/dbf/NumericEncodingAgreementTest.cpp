#include <random>

#include "DbfTestSupport.h"
#include "text/DecimalSeparator.h"

// Plain decimals with "." are encoded from their digits as typed; with the separator "," the same
// texts go through a double and its shortest form. Both roads must give the same bytes and the
// same refusals, for every width, decimal count and digit count around the 15-digit boundary.
namespace {

const std::vector<TFieldSpec>& NumberFields() {
    static const std::vector<TFieldSpec> fields = {
        {"PRICE", fldNumeric, 10, 2}, {"RATE", fldFloat, 12, 3},  {"NDS", fldNumeric, 5, 0},
        {"WIDE", fldNumeric, 25, 12}, {"TINY", fldNumeric, 3, 1}, {"LONG", fldNumeric, 40, 0}};
    return fields;
}

std::vector<std::string> Inputs() {
    std::vector<std::string> inputs = {"0",
                                       "-0",
                                       "+0",
                                       "0.000",
                                       ".5",
                                       "5.",
                                       "-.5",
                                       "2.675",
                                       "-0.125",
                                       "-0.004",
                                       "0.005",
                                       "9.995",
                                       "99.95",
                                       "99999999.995",
                                       "1234567.89",
                                       "12345678.9",
                                       " 7",
                                       "  -3.5",
                                       "00012.50",
                                       "0.1",
                                       "0.3",
                                       "123456789012.345",
                                       "1234567890123.456",
                                       "999999999999999",
                                       "9999999999999999",
                                       "0.000000000000001",
                                       "0.0000000000000015",
                                       "100000000000000000000000000000000000000",
                                       "4503599627370497",
                                       "1.0000000000000001",
                                       "18",
                                       "1E2",

                                       ".",
                                       "-",
                                       "+-1",
                                       "12a",
                                       "",
                                       "  "};
    std::mt19937 random(20240607);
    auto digits = [&](int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += static_cast<char>('0' + random() % 10);
        return text;
    };
    for (int i = 0; i < 3000; ++i) {
        std::string text(random() % 3 == 0 ? random() % 3 : 0, ' ');
        int sign = static_cast<int>(random() % 4);
        if (sign == 1) text += '-';
        if (sign == 2) text += '+';
        if (random() % 5 == 0) text += std::string(random() % 3 + 1, '0');
        text += digits(static_cast<int>(random() % 10));
        if (random() % 4 != 0) {
            text += '.';
            text += digits(static_cast<int>(random() % 9));
            if (random() % 5 == 0) text += std::string(random() % 3 + 1, '0');
        }
        inputs.push_back(text);
    }
    return inputs;
}

using NumericEncodingAgreement = TDbfTest;

TEST_F(NumericEncodingAgreement, DigitsAsTypedAndTheShortestFormOfTheDoubleGiveTheSameBytes) {
    TDBF typed, throughDouble;
    Create(typed, NumberFields(), "typed.dbf");
    Create(throughDouble, NumberFields(), "double.dbf");
    int refusals = 0;
    for (const std::string& input : Inputs()) {
        typed.Append();
        throughDouble.Append();
        for (int field = 1; field <= 6; ++field) {
            SetDecimalSeparator('.');
            std::string typedMessage = EdMessage([&] { typed.SetFieldData(field, input); });
            SetDecimalSeparator(',');
            std::string doubleMessage =
                EdMessage([&] { throughDouble.SetFieldData(field, input); });
            SetDecimalSeparator('.');
            ASSERT_EQ(typedMessage, doubleMessage) << '"' << input << "\" field " << field;
            refusals += typedMessage != "(nothing raised)";
        }
        typed.Post();
        throughDouble.Post();
    }
    typed.Close();
    throughDouble.Close();
    // Both roads refuse something (too long, or no number) and accept most.
    EXPECT_GT(refusals, 100);
    TBytes want = ReadBytes(Folder.File("double.dbf"));
    EXPECT_EQ(want.size(), 225u + Inputs().size() * 96u + 1u);
    EXPECT_EQ(ReadBytes(Folder.File("typed.dbf")), want);
}

}  // namespace
