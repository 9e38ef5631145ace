#include "DbfTestSupport.h"
#include "dbf/FieldEncoding.h"
#include "text/DecimalSeparator.h"

namespace {

// Fields 1 D, 2 C(15), 3 L, 4 F(12,3), 5 N(10,2), 6 C(3), 7 N(5,0); values go to record 3.
const std::vector<TFieldSpec>& EncodingFields() {
    static const std::vector<TFieldSpec> fields = {
        {"DAY", fldDate, 8, 0},    {"CODE", fldChar, 15, 0},     {"FLAG", fldLogical, 1, 0},
        {"RATE", fldFloat, 12, 3}, {"PRICE", fldNumeric, 10, 2}, {"NOTE", fldChar, 3, 0},
        {"NDS", fldNumeric, 5, 0}};
    return fields;
}
constexpr std::size_t kHeaderLength = 32 * 8 + 1;
constexpr std::size_t kRecordLength = 1 + 8 + 15 + 1 + 12 + 10 + 3 + 5;
constexpr std::size_t kFieldOffset[8] = {0, 1, 9, 24, 25, 37, 47, 50};
constexpr std::size_t kFieldLength[8] = {0, 8, 15, 1, 12, 10, 3, 5};

std::string SizeError(int field) {
    return "SetFieldData: Недопустимый размер данных\rРяд: 3, Поле: " + std::to_string(field);
}
std::string DataError(int field) {
    return "SetFieldData: Ошибка данных - Ряд: 3, Поле: " + std::to_string(field);
}

struct TEncodingCase {
    const char* Rule;
    int Field;
    std::string Value;
    std::string Stored;   // the field's bytes on disk, when accepted
    std::string Refusal;  // the message, when refused
    char Separator = '.';
};

TEncodingCase Stores(const char* rule, int field, std::string value, std::string stored,
                     char separator = '.') {
    return {rule, field, std::move(value), std::move(stored), {}, separator};
}
TEncodingCase Refuses(const char* rule, int field, std::string value, std::string message,
                      char separator = '.') {
    return {rule, field, std::move(value), {}, std::move(message), separator};
}

class FieldEncoding : public TDbfTest, public ::testing::WithParamInterface<TEncodingCase> {
  protected:
    void SetUp() override {
        TDbfTest::SetUp();
        Create(Table, EncodingFields(), "enc.dbf");
        for (int i = 0; i < 3; ++i) Table.Append();
    }
    void TearDown() override {
        SetDecimalSeparator('.');
        TDbfTest::TearDown();
    }
    std::string StoredField(int field) {
        TBytes file = ReadBytes(Folder.File("enc.dbf"));
        return Slice(file, kHeaderLength + 2 * kRecordLength + kFieldOffset[field],
                     kFieldLength[field]);
    }
    TDBF Table;
};

TEST_P(FieldEncoding, Rule) {
    const TEncodingCase& c = GetParam();
    SetDecimalSeparator(c.Separator);
    std::string message = EdMessage([&] { Table.SetFieldData(c.Field, c.Value); });
    // The answer given ahead of writing is the writer's own.
    const TFieldSpec& field = EncodingFields()[static_cast<std::size_t>(c.Field - 1)];
    const TFieldFit fit = FieldValueFit(field.Type, field.Size, field.Precision, c.Value);
    SetDecimalSeparator('.');
    EXPECT_EQ(fit, c.Refusal.empty()                 ? ffFits
                   : c.Refusal == SizeError(c.Field) ? ffTooLong
                                                     : ffNotValid);
    if (c.Refusal.empty()) {
        ASSERT_EQ(message, "(nothing raised)");
        EXPECT_TRUE(Table.Modified());
        Table.Post();
        EXPECT_EQ(StoredField(c.Field), c.Stored);
    } else {
        EXPECT_EQ(message, c.Refusal);
        // Nothing reached the record: it is still blank, and still unmodified.
        EXPECT_FALSE(Table.Modified());
        Table.Post();
        EXPECT_EQ(StoredField(c.Field), std::string(kFieldLength[c.Field], ' '));
    }
}

const std::string B(std::size_t n) {
    return std::string(n, ' ');
}

INSTANTIATE_TEST_SUITE_P(
    CharacterFields, FieldEncoding,
    ::testing::Values(
        Stores("ThreeLettersArePaddedWithTwelveBlanks", 2, "abc", "abc" + B(12)),
        Stores("FifteenCharactersFillTheField", 2, "123456789012345", "123456789012345"),
        Stores("TrailingBlanksDoNotCountAgainstTheLength", 2, "abc" + B(20), "abc" + B(12)),
        Stores("TrailingControlBytesAreDropped", 2, "ab\t\r\n\x01", "ab" + B(13)),
        Stores("LeadingBlanksStay", 2, "  ab", "  ab" + B(11)),
        Stores("Code866BytesAreStoredAsGiven", 6, "\x8f\xe0\xa8", "\x8f\xe0\xa8"),
        Stores("EmptyTextFillsBlanks", 2, "", B(15)),
        Refuses("SixteenCharactersAreTooLong", 2, "1234567890123456", SizeError(2)),
        Refuses("LeadingBlanksCountAgainstTheLength", 6, " abc", SizeError(6))),
    TRuleName());

INSTANTIATE_TEST_SUITE_P(
    NumericFields, FieldEncoding,
    ::testing::Values(
        Stores("TwelveAndAHalfGetsTwoDecimals", 5, "12.5", B(5) + "12.50"),
        Stores("IntegerFieldTakesAnInteger", 7, "18", B(3) + "18"),
        Stores("HundredGetsTwoZeroDecimals", 5, "100", B(4) + "100.00"),
        Stores("EmptyValueLeavesBlanks", 5, "", B(10)),
        Stores("BlankValueLeavesBlanks", 5, "    ", B(10)),
        Stores("NegativeKeepsItsSign", 5, "-12.5", B(4) + "-12.50"),
        Stores("LeadingBlanksAndPlusAreNumberSyntax", 5, " +7", B(6) + "7.00"),
        Stores("TenCharactersFitExactly", 5, "1234567.89", "1234567.89"),
        Stores("HalfwayRoundsAwayFromZeroOnTheTypedDigits", 5, "2.675", B(6) + "2.68"),
        Stores("NegativeHalfwayRoundsAwayFromZero", 5, "-0.125", B(5) + "-0.13"),
        Stores("BelowHalfRoundsDown", 5, "0.1249", B(6) + "0.12"),
        Stores("RoundingCarriesIntoTheIntegerPart", 5, "9.999", B(5) + "10.00"),
        Stores("RoundingCarriesANewDigit", 5, "99999.995", B(1) + "100000.00"),
        Stores("NegativeThatRoundsToZeroHasNoSign", 5, "-0.001", B(6) + "0.00"),
        Stores("IntegerFieldRoundsHalfAwayFromZero", 7, "2.5", B(4) + "3"),
        Stores("IntegerFieldRoundsSmallNegativeToZero", 7, "-0.4", B(4) + "0"),
        Stores("ExponentFormIsANumber", 5, "1e3", B(3) + "1000.00"),
        Stores("SmallExponentFormRoundsToZero", 5, "1E-7", B(6) + "0.00"),
        Stores("FloatFieldIsRightAlignedWithItsDecimals", 4, "3.14159", B(7) + "3.142"),
        Stores("ZeroIsOneDigit", 7, "0", B(4) + "0"),
        Refuses("CommaIsNoSeparatorWhileTheSeparatorIsDot", 5, "12,5", DataError(5)),
        Refuses("LettersAreNoNumber", 5, "abc", DataError(5)),
        Refuses("TwoDotsAreNoNumber", 5, "1.2.3", DataError(5)),
        Refuses("EightDigitsBecomeElevenCharacters", 5, "12345678", SizeError(5)),
        Refuses("NegativeOfTenCharactersIsTooLong", 5, "-1234567.5", SizeError(5)),
        Refuses("ExponentFormTooLargeForTheField", 5, "1e10", SizeError(5)),
        Refuses("ElevenCharactersOfInputAreTooLong", 5, "00000001.50", SizeError(5)),
        Refuses("NumberBeyondTheDoubleRange", 5, "1e999", DataError(5)),
        Stores("LargestPriceFits", 5, "9999999.99", "9999999.99"),
        Refuses("LargestPriceRoundedUpIsTooLong", 5, "9999999.995", SizeError(5)),
        Stores("SmallestNegativeFits", 5, "-999999.99", "-999999.99"),
        Refuses("SmallestNegativeRoundedDownIsTooLong", 5, "-999999.995", SizeError(5)),
        Stores("FiveDigitsFillTheIntegerField", 7, "99999", "99999"),
        Refuses("SixDigitsAreTooLongForTheIntegerField", 7, "100000", SizeError(7)),
        Refuses("NegativeOfFiveDigitsIsTooLong", 7, "-10000", SizeError(7))),
    TRuleName());

INSTANTIATE_TEST_SUITE_P(
    CommaSeparator, FieldEncoding,
    ::testing::Values(Stores("CommaIsTheSeparator", 5, "12,5", B(5) + "12.50", ','),
                      Stores("DotIsTakenAsTheSeparator", 5, "12.5", B(5) + "12.50", ','),
                      Stores("IntegerFieldHasNoSeparator", 7, "18", B(3) + "18", ','),
                      Stores("FloatFieldStoresADot", 4, "0,5", B(7) + "0.500", ','),
                      Refuses("DotAndCommaTogetherAreNoNumber", 5, "1.234,5", DataError(5), ',')),
    TRuleName());

INSTANTIATE_TEST_SUITE_P(
    DateFields, FieldEncoding,
    ::testing::Values(Stores("DayMonthYearBecomesYearMonthDay", 1, "29.04.08", "20080429"),
                      Stores("FiftyOneIsNineteenFiftyOne", 1, "01.01.51", "19510101"),
                      Stores("FiftyIsTwentyFifty", 1, "31.12.50", "20501231"),
                      Stores("SeparatorsAreNotLookedAt", 1, "29/04-08", "20080429"),
                      Stores("LeapDayOf2000", 1, "29.02.00", "20000229"),
                      Stores("OneDigitYearAtTheEnd", 1, "01.02.3", "20030201"),
                      Stores("EmptyDateIsBlank", 1, "", B(8)),
                      Refuses("ThirtyFirstOfFebruaryIsNoDate", 1, "31.02.08", DataError(1)),
                      Refuses("NoLeapDayIn1951", 1, "29.02.51", DataError(1)),
                      Refuses("MonthThirteenIsNoDate", 1, "01.13.08", DataError(1)),
                      Refuses("DayZeroIsNoDate", 1, "00.01.08", DataError(1)),
                      Refuses("LettersAreNoDay", 1, "aa.04.08", DataError(1)),
                      Refuses("MissingYearIsNoDate", 1, "29.04", DataError(1)),
                      Refuses("FourDigitYearIsTooLong", 1, "29.04.2008", SizeError(1))),
    TRuleName());

INSTANTIATE_TEST_SUITE_P(
    LogicalFields, FieldEncoding,
    ::testing::Values(Stores("YesIsTrue", 3, "yes", "T"), Stores("TrueIsTrue", 3, "True", "T"),
                      Stores("NoIsFalse", 3, "No", "F"), Stores("FalseIsFalse", 3, "FALSE", "F"),
                      Stores("LetterTIsNeither", 3, "T", " "), Stores("OneIsNeither", 3, "1", " "),
                      Stores("LeadingBlankIsNeither", 3, " yes", " "),
                      Stores("EmptyIsBlank", 3, "", " "),
                      Refuses("SixCharactersAreTooLong", 3, "FALSE1", SizeError(3))),
    TRuleName());

struct TFieldNumberCase {
    const char* Rule;
    std::int32_t FieldNo;
};

class FieldNumber : public TDbfTest, public ::testing::WithParamInterface<TFieldNumberCase> {};

TEST_P(FieldNumber, OutsideOneToFieldCountIsRefused) {
    TDBF table;
    Create(table, EncodingFields(), "num.dbf");
    table.Append();
    EXPECT_EQ(EdMessage([&] { table.SetFieldData(GetParam().FieldNo, "1"); }),
              "SetFieldData: Неверный номер поля: " + std::to_string(GetParam().FieldNo));
    EXPECT_FALSE(table.Modified());
}

INSTANTIATE_TEST_SUITE_P(Numbers, FieldNumber,
                         ::testing::Values(TFieldNumberCase{"Zero", 0},
                                           TFieldNumberCase{"OneAboveFieldCount", 8},
                                           TFieldNumberCase{"Negative", -1},
                                           TFieldNumberCase{"Largest", 2147483647}),
                         TRuleName());

using FieldValue = TDbfTest;

TEST_F(FieldValue, ARefusedValueKeepsTheEarlierChangeOfTheRecord) {
    TDBF table;
    Create(table, EncodingFields(), "keep.dbf");
    table.Append();
    table.SetFieldData(2, "kept");
    EXPECT_EQ(EdMessage([&] { table.SetFieldData(2, std::string(16, 'x')); }),
              "SetFieldData: Недопустимый размер данных\rРяд: 1, Поле: 2");
    EXPECT_TRUE(table.Modified());
    table.Post();
    EXPECT_EQ(Slice(ReadBytes(Folder.File("keep.dbf")), kHeaderLength + 9, 15), "kept" + B(11));
}

TEST(PadText, AddsBlanksUpToTheWidthAndNeverCuts) {
    EXPECT_EQ(PadLeft("12", 5), "   12");
    EXPECT_EQ(PadRight("12", 5), "12   ");
    EXPECT_EQ(PadLeft("123456", 5), "123456");
    EXPECT_EQ(PadRight("123456", 5), "123456");
    EXPECT_EQ(PadLeft("", 3), "   ");
    EXPECT_EQ(PadRight("abc", 3), "abc");
}

}  // namespace
