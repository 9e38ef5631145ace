// Writes a matched pair of KELVA reports for benchmarks: ARTICLE.TXT with N articles (both line
// layouts, about 5 % without barcode, a few duplicate codes and lines to skip) and PRINT.TXT with
// the stock of about 70 % of them (plus a few codes that match nothing), in code page 866.
//   k2l_gen_reports N FOLDER

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "text/CodePage.h"

namespace {

std::string Field(const std::string& text, std::size_t width, bool right = false) {
    std::string cut = text.substr(0, width);
    std::string pad(width - cut.size(), ' ');
    return right ? pad + cut : cut + pad;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: k2l_gen_reports N FOLDER\n");
        return 2;
    }
    const long n = std::atol(argv[1]);
    const std::string folder = argv[2];
    const std::string words[] = {AnsiToOemText("Масло моторное"), AnsiToOemText("Омыватель стекла"),
                                 AnsiToOemText("Кофе"),           AnsiToOemText("Шоколад Алёнка"),
                                 AnsiToOemText("Вода питьевая"),  AnsiToOemText("Чипсы"),
                                 AnsiToOemText("Антифриз"),       AnsiToOemText("Щётка"),
                                 AnsiToOemText("Батарейка"),      AnsiToOemText("Жвачка")};
    std::mt19937 random(12345);

    std::FILE* article = std::fopen((folder + "/ARTICLE.TXT").c_str(), "wb");
    std::FILE* stock = std::fopen((folder + "/PRINT.TXT").c_str(), "wb");
    if (!article || !stock) {
        std::perror(folder.c_str());
        return 1;
    }
    std::string line;
    for (long i = 1; i <= n; ++i) {
        // Every 5000th article repeats the code before it; every 1000th line is one to skip.
        long code = (i % 5000 == 0) ? i - 1 : i;
        std::string barcode = (random() % 20 == 0) ? "" : std::to_string(4600000000000L + i);
        std::string name = words[random() % 10] + " " + std::to_string(i);
        std::string group = std::to_string(random() % 30 + 1);
        if (i % 2 == 0) {  // 84 characters
            line = Field(std::to_string(code), 13) + " " + Field(barcode, 13) +
                   std::string(13, ' ') + Field(group, 2, true) + "  " + Field(name, 40);
        } else {  // 87 characters
            line = Field(std::to_string(code), 13) + "  " + Field(barcode, 13) + "  " +
                   Field(group, 2, true) + "                " + Field(name, 39);
        }
        line += "\r\n";
        if (i % 1000 == 0) std::fputs("------------------------------\r\n", article);
        std::fwrite(line.data(), 1, line.size(), article);

        if (random() % 10 < 7) {
            char quantity[16], price[16];
            std::snprintf(quantity, sizeof quantity, "%.2f", (random() % 100000) / 100.0 - 5);
            std::snprintf(price, sizeof price, "%.2f", (random() % 1000000) / 100.0);
            long stockCode = (i % 3000 == 0) ? n + i : code;  // a few codes that match nothing
            line = Field(std::to_string(stockCode), 13) + std::string(40, ' ') +
                   Field(quantity, 6, true) + " " + Field(price, 7, true) + std::string(11, ' ') +
                   "\r\n";
            std::fwrite(line.data(), 1, line.size(), stock);
        }
    }
    std::fclose(article);
    std::fclose(stock);
    return 0;
}
