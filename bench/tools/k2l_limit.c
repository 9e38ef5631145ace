/* The limit writer: what a conversion costs at least when its rows are ready. Reads the ready
 * rows of k2l_ready_rows, builds each dBASE III table (header, fixed-width records, end mark, the
 * same layout as the converter's) in one buffer, and writes and flushes each file once.
 *   k2l_limit ROWS DIRECTORY.dbf RECEIPT.dbf */

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

struct field {
    const char* name;
    char type;
    int size, decimals;
};

static const struct field directory[] = {{"CATEGORY", 'C', 20, 0}, {"KOD", 'C', 15, 0},
                                         {"NAME", 'C', 50, 0},     {"NAME2", 'C', 30, 0},
                                         {"ZPRICE", 'N', 10, 2},   {"RPRICE", 'N', 10, 2},
                                         {"NDS", 'N', 5, 0}};
static const struct field receipt[] = {{"CATEGORY", 'C', 20, 0}, {"ID", 'C', 15, 0},
                                       {"NAME", 'C', 50, 0},     {"KOLVO", 'N', 10, 2},
                                       {"ZPRICE", 'N', 10, 2},   {"RPRICE", 'N', 10, 2}};

struct table {
    const struct field* fields;
    int count, header, record;
    unsigned char* bytes;
    size_t used;
    unsigned long records;
};

static void start(struct table* t, const struct field* fields, int count, size_t rows) {
    time_t now = time(NULL);
    struct tm* day = localtime(&now);
    t->fields = fields;
    t->count = count;
    t->header = 32 + 32 * count + 1;
    t->record = 1;
    for (int i = 0; i < count; ++i) t->record += fields[i].size;
    t->bytes = calloc(1, (size_t)t->header + rows * (size_t)t->record + 1);
    if (!t->bytes) exit(1);
    t->bytes[0] = 3;
    t->bytes[1] = (unsigned char)day->tm_year;
    t->bytes[2] = (unsigned char)(day->tm_mon + 1);
    t->bytes[3] = (unsigned char)day->tm_mday;
    t->bytes[8] = (unsigned char)(t->header & 0xFF);
    t->bytes[9] = (unsigned char)(t->header >> 8);
    t->bytes[10] = (unsigned char)(t->record & 0xFF);
    t->bytes[11] = (unsigned char)(t->record >> 8);
    t->bytes[29] = 0x26; /* code page 866 */
    for (int i = 0; i < count; ++i) {
        unsigned char* d = t->bytes + 32 + 32 * i;
        memcpy(d, fields[i].name, strlen(fields[i].name));
        d[11] = (unsigned char)fields[i].type;
        d[16] = (unsigned char)fields[i].size;
        d[17] = (unsigned char)fields[i].decimals;
    }
    t->bytes[t->header - 1] = 0x0D;
    t->used = (size_t)t->header;
}

/* One record from its values: text left-aligned, numbers right-aligned, blanks elsewhere. */
static void add(struct table* t, const char* const* values, const int* lengths) {
    unsigned char* r = t->bytes + t->used;
    memset(r, ' ', (size_t)t->record);
    unsigned char* p = r + 1;
    for (int i = 0; i < t->count; ++i) {
        int size = t->fields[i].size, n = lengths[i] < size ? lengths[i] : size;
        if (t->fields[i].type == 'N')
            memcpy(p + size - n, values[i], (size_t)n);
        else
            memcpy(p, values[i], (size_t)n);
        p += size;
    }
    t->used += (size_t)t->record;
    ++t->records;
}

static int finish(struct table* t, const char* path) {
    for (int i = 0; i < 4; ++i) t->bytes[4 + i] = (unsigned char)(t->records >> (8 * i));
    t->bytes[t->used++] = 0x1A;
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return 0;
    size_t done = 0;
    while (done < t->used) {
        ssize_t n = write(fd, t->bytes + done, t->used - done);
        if (n <= 0) return 0;
        done += (size_t)n;
    }
    return fsync(fd) == 0 && close(fd) == 0;
}

static char* read_all(const char* path, size_t* size) {
    FILE* f = fopen(path, "rb");
    if (!f) return NULL;
    fseek(f, 0, SEEK_END);
    *size = (size_t)ftell(f);
    fseek(f, 0, SEEK_SET);
    char* bytes = malloc(*size + 1);
    if (!bytes || fread(bytes, 1, *size, f) != *size) return NULL;
    fclose(f);
    bytes[*size] = '\n';
    return bytes;
}

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: k2l_limit ROWS DIRECTORY.dbf RECEIPT.dbf\n");
        return 2;
    }
    size_t size = 0, rows = 0;
    char* text = read_all(argv[1], &size);
    if (!text) return 1;
    for (size_t i = 0; i < size; ++i) rows += text[i] == '\n';
    struct table d = {0}, r = {0};
    start(&d, directory, 7, rows);
    start(&r, receipt, 6, rows);

    static const char group[] = "\x83\xe0\xe3\xaf\xaf\xa0 "; /* "Группа " in code page 866 */
    char category[32];
    const char* v[6]; /* group, barcode, name, price, quantity, nds */
    int n[6];
    for (char* line = text; line < text + size;) {
        for (int i = 0; i < 6; ++i) {
            char* end = line;
            while (*end != '\t' && *end != '\n') ++end;
            v[i] = line;
            n[i] = (int)(end - line);
            line = end + 1;
        }
        int c = snprintf(category, sizeof category, "%s%.*s", group, n[0], v[0]);
        const char* dv[7] = {category, v[1], v[2], "", v[3], v[3], v[5]};
        const int dn[7] = {c, n[1], n[2], 0, n[3], n[3], n[5]};
        add(&d, dv, dn);
        if (n[4] > 0) {
            const char* rv[6] = {category, v[1], v[2], v[4], v[3], v[3]};
            const int rn[6] = {c, n[1], n[2], n[4], n[3], n[3]};
            add(&r, rv, rn);
        }
    }
    return finish(&d, argv[2]) && finish(&r, argv[3]) ? 0 : 1;
}
