// A table held open for writing by a process of its own, for tests that kill that process or
// look at the table from outside:
//   k2l_table_holder TABLE RECORDS THRESHOLD
// creates TABLE with the receipt table's fields, appends and posts RECORDS records whose second
// field is "ID<n>", appends one more (blank) record and sets its second field to "unposted"
// without posting it, prints "ready" and keeps the table open until a file TABLE.release
// exists; then closes it and exits 0. THRESHOLD is the grow-ahead threshold (0: the program's).
// Paths in ASCII: the narrow command line of Windows carries nothing else.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <thread>

#include "dbf/DBF.h"
#include "text/FileSystem.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: k2l_table_holder TABLE RECORDS THRESHOLD\n");
        return 2;
    }
    const std::string path = argv[1];
    const int records = std::atoi(argv[2]);
    SetGrowAheadThreshold(std::strtoull(argv[3], nullptr, 10));
    try {
        TDBF table;
        table.AddFieldDefs("CATEGORY", fldChar, 20, 0);
        table.AddFieldDefs("ID", fldChar, 15, 0);
        table.AddFieldDefs("NAME", fldChar, 50, 0);
        table.AddFieldDefs("KOLVO", fldNumeric, 10, 2);
        table.AddFieldDefs("ZPRICE", fldNumeric, 10, 2);
        table.AddFieldDefs("RPRICE", fldNumeric, 10, 2);
        table.SetTableName(path);
        table.CreateTable();
        for (int r = 1; r <= records; ++r) {
            table.Append();
            table.SetFieldData(2, "ID" + std::to_string(r));
            table.Post();
        }
        table.Append();
        table.SetFieldData(2, "unposted");
        std::printf("ready\n");
        std::fflush(stdout);
        while (!FileExists(path + ".release"))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        table.Close();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
