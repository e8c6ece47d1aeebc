// Laying out a job's text: each rule on a small text, and over random jobs that the result reads
// as the same job and is its own layout.
#include "engine/io/KestParFormat.h"
#include "utilities/KestFileUtil.h"

#include "support/random_job_text.h"
#include "support/written_job.h"

#include <gtest/gtest.h>

#include <filesystem>

using test_support::job_of;

TEST(Format, LaysOutEachKindOfLine) {
    const std::string bom = "\xEF\xBB\xBF";
    const struct {
        const char* what;
        std::string text;
        std::string laid_out;
    } cases[] = {
        {"indentation, spacing and case", "  dv\nid_name=a\n\tgroup =  g1  \n  end_\n",
         "DV\n  ID_NAME = a\n  GROUP = g1\nEND_\n"},
        {"unknown names keep their spelling", "Frobnicate\nColour=blue\nEND_\n",
         "Frobnicate\n  Colour = blue\nEND_\n"},
        {"DEF_TYPE keeps its spelling", "dresp\ndef_type = OPER\nEND_\n",
         "DRESP\n  def_type = OPER\nEND_\n"},
        {"continuation lines as written", "GROUP_DEF\nLIST_BEGIN = 1,\n      2-5,   \n 7\nEND_\n",
         "GROUP_DEF\n  LIST_BEGIN = 1,\n      2-5,\n 7\nEND_\n"},
        {"comments take the indentation of the next line",
         "# head\n\n\n\nDV\n   # about name\n ID_NAME = a\n\n\n # last\n end_dv  \n# tail\n",
         "# head\n\nDV\n  # about name\n  ID_NAME = a\n# last\nEND_DV\n\n# tail\n"},
        {"a blank line that ends a value stays",
         "DV\nGROUP = 1,\n\n\nstray\n\nVALUE = 2,\n\nEND_\n",
         "DV\n  GROUP = 1,\n\n  stray\n  VALUE = 2,\nEND_\n"},
        {"one blank line between blocks", "\n\nDV\nEND_\nSTOP\nEND_\n\n\n\nOPTIMIZE\nEND_\n\n",
         "DV\nEND_\n\nSTOP\nEND_\n\nOPTIMIZE\nEND_\n"},
        {"the end of the text closes a block", "STOP\n ITER_MAX=3", "STOP\n  ITER_MAX = 3\nEND_\n"},
        {"empty keys and values", "DV\n ID_NAME =\n = x\n  a line  \nEND_\n",
         "DV\n  ID_NAME =\n  = x\n  a line\nEND_\n"},
        {"END_ lines outside blocks", "end_ here\nDV\nEND_\nEND_\n",
         "END_ here\nDV\nEND_\n\nEND_\n"},
        {"CRLF and a byte-order mark", bom + "dv\r\n id_name = a\r\nend_\n",
         bom + "DV\r\n  ID_NAME = a\r\nEND_\r\n"},
        {"nothing but blanks", "\n \t\n\n", ""},
        {"a byte-order mark alone", bom, bom},
        {"a keyword that starts like a byte-order mark", "\f" + bom + "dv\n",
         bom + bom + "dv\nEND_\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(format_par_text(c.text), c.laid_out) << c.what;
        EXPECT_EQ(format_par_text(c.laid_out), c.laid_out) << c.what;
    }
}

TEST(Format, KnownNamesComeFromTheConfiguration) {
    KestCmdIoConfig config(KestCmdIoConfig::NO_VALUES);
    config.cmd_names.emplace_back(KestCmdDefs::DV, "DESVAR");
    config.item_names.emplace_back(KestCmdItemDefs::GROUP, "SET");
    EXPECT_EQ(format_par_text("desvar\nset = 1\ngroup = 2\nle_value = 3\nEND_\n", config),
              "DESVAR\n  SET = 1\n  group = 2\n  LE_VALUE = 3\nEND_\n");
}

TEST(Format, RandomJobsReadAsTheSameJobAndStayLaidOut) {
    for (unsigned seed = 1; seed <= 400; ++seed) {
        const std::string text = test_support::JobText(seed, seed % 3 == 0).Make();
        const std::string laid_out = format_par_text(text);
        ASSERT_EQ(job_of(laid_out), job_of(text)) << "seed " << seed << ":\n" << text;
        ASSERT_EQ(format_par_text(laid_out), laid_out) << "seed " << seed << ":\n" << text;
    }
}

TEST(Format, TheExamplesAreLaidOut) {
    for (const char* example : {"topology.par", "operators.par"}) {
        const std::string text =
            KestFileUtil::read_all((std::filesystem::path(KEST_EXAMPLES_DIR) / example).wstring());
        EXPECT_EQ(format_par_text(text), text) << example;
    }
}
