// A test tool around libburn's CD-Text code, so that the tests can compare Tavlo's codec with an
// encoder and a decoder of its own:
//
//   tavlo_libburn_packfile write SHEET TRACKS OUT   encodes a Sony v07t input sheet for a disc of
//                                                  TRACKS tracks and writes the packs to OUT
//   tavlo_libburn_packfile sheet PACKFILE           decodes a pack file and prints it as a v07t sheet

#include <libburn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace burn; // libburn.h wraps its C interface in this namespace for C++

namespace
{
int writePackFile (const char* sheetPath, int trackCount, const char* outPath)
{
    auto* session = burn_session_create();
    std::vector<burn_track*> tracks;

    for (int i = 0; i < trackCount; ++i)
    {
        tracks.push_back (burn_track_create());
        burn_session_add_track (session, tracks.back(), BURN_POS_END);
    }

    std::string sheet (sheetPath);
    int result = 1;
    unsigned char* packs = nullptr;
    int numPacks = 0;

    // Bit 0: the sheet may hold several blocks, each starting with "Input Sheet Version = 0.7T".
    if (burn_session_input_sheet_v07t (session, sheet.data(), 0, 1) > 0
        && burn_cdtext_from_session (session, &packs, &numPacks, 0) > 0 && numPacks > 0)
    {
        if (auto* out = std::fopen (outPath, "wb"))
        {
            if (std::fwrite (packs, 18, (size_t) numPacks, out) == (size_t) numPacks)
                result = 0;
            if (std::fclose (out) != 0)
                result = 1;
        }
    }

    std::free (packs);
    for (auto* track : tracks)
        burn_track_free (track);
    burn_session_free (session);
    return result;
}

int printSheet (const char* packPath)
{
    std::string path (packPath);
    unsigned char* packs = nullptr;
    int numPacks = 0;

    if (burn_cdtext_from_packfile (path.data(), &packs, &numPacks, 0) <= 0)
        return 1;

    char* sheet = nullptr;
    int charCode = 0;
    const auto length = burn_make_input_sheet_v07t (packs, numPacks, 0, 0, &sheet, &charCode, 0);
    std::free (packs);

    if (length <= 0)
        return 1;

    std::fwrite (sheet, 1, (size_t) length, stdout);
    std::free (sheet);
    return 0;
}
} // namespace

int main (int argc, char** argv)
{
    if (burn_initialize() != 1)
        return 2;

    char queue[] = "NEVER", print[] = "SORRY", prefix[] = "libburn: ";
    burn_msgs_set_severities (queue, print, prefix);

    int result = 2;
    if (argc == 5 && std::strcmp (argv[1], "write") == 0)
        result = writePackFile (argv[2], std::atoi (argv[3]), argv[4]);
    else if (argc == 3 && std::strcmp (argv[1], "sheet") == 0)
        result = printSheet (argv[2]);
    else
        std::fprintf (stderr, "usage: %s write SHEET TRACKS OUT | sheet PACKFILE\n", argv[0]);

    burn_finish();
    return result;
}
