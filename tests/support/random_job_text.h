// The text of random jobs for tests that read, rewrite and compare them: every syntax the reader
// knows (comments, blank lines, continued values, CRLF line ends, keys in any case, blocks closed
// by the end of the text), and a byte-order mark now and then.
#pragma once

#include "engine/vocabulary/KestCmdDefs.h"
#include "engine/vocabulary/KestCmdItemDefs.h"

#include <cctype>
#include <random>
#include <string>
#include <vector>

namespace test_support {

// The text of a random job. A plain job uses only keywords and keys the reader knows and puts
// '=' into no list piece after a comma, so its first rewriting is already a fixed point.
class JobText {
  public:
    JobText(unsigned seed, bool plain) : _rng(seed), _plain(plain) {}

    std::string Make() {
        const std::string eol = Chance(10) ? "\r\n" : "\n";
        std::string text;
        for (std::size_t blocks = Pick(8); blocks > 0; --blocks) {
            text += OneOf({"", "", "", "\n", "# " + Word() + " = " + Word() + "\n", "END_\n"});
            const std::string block = Block(blocks == 1);
            // Twice now and then: two commands of one name, or two nameless ones that name the
            // same OPTIMIZE.
            text += blocks > 1 && Chance(15) ? block + "END_\n" + block : block;
        }
        if (Chance(20)) {
            text = OptimizeAndItsSettings() + text;
        }
        std::string out = _plain || !Chance(10) ? "" : "\xEF\xBB\xBF";
        for (char c : text) {
            out += c == '\n' ? eol : std::string(1, c);
        }
        return out;
    }

  private:
    std::size_t Pick(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(_rng);
    }
    bool Chance(std::size_t percent) { return Pick(100) < percent; }
    std::string OneOf(const std::vector<std::string>& pool) { return pool[Pick(pool.size())]; }
    std::string AnyCase(std::string text) {
        for (char& c : text) {
            c = Chance(40) ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : c;
        }
        return text;
    }
    std::string Indent() { return OneOf({"", "  ", "    ", "\t"}); }
    std::string Equals() { return OneOf({" = ", "=", " =  ", "\t=\t"}); }
    std::string Name() { return AnyCase(OneOf({"MAIN", "S1", "P1", "VOL", "COMP", "G1", "D1"})); }
    std::string Number() { return OneOf({"0.3", "1e-3", "-2", "17", "2.0", "0.25"}); }
    std::string Word() {
        return Chance(40) ? Name()
                          : OneOf({"0.3", "1e-3", "17", "1-40:3", "mma", "Csa", "volume", "density",
                                   "LESS_EQUAL", "Models/Arm.inp", "two words"});
    }
    // Words separated by commas, now and then continued on the next line.
    std::string Value(std::size_t words) {
        std::string value = words > 0 ? Word() : "";
        for (std::size_t i = 1; i < words; ++i) {
            value += (Chance(25) ? ",\n" + Indent() + " " : OneOf({", ", ","})) + Word();
        }
        return Chance(10) ? value + "," : value;
    }
    std::string ListPiece(bool first) {
        if ((first || !_plain) && Chance(10)) {
            return AnyCase(OneOf({"ID_NAME", "type", "Colour", "LIST_BEGIN", "DEF_TYPE"})) + "=" +
                   OneOf({"OPER", Name(), Number()});
        }
        return OneOf({"1-10", "12", "20-40:2", "7", "a", "Mixed", ""});
    }
    std::string List() {
        std::string line = AnyCase("LIST_BEGIN") + Equals() + ListPiece(true);
        for (std::size_t i = Pick(5); i > 0; --i) {
            line += (Chance(40) ? ",\n" + Indent() + " " : ", ") + ListPiece(false);
        }
        return line;
    }
    std::string Line(const std::string& type, bool oper) {
        const auto& keys = KestCmdItemDefs::default_item_names;
        std::vector<std::string> lines{
            "# " + Word() + " = " + Word(), "", List(), List(),
            AnyCase(keys[Pick(keys.size())]) + Equals() + Value(Pick(4)),
            AnyCase(keys[Pick(keys.size())]) + Equals() + Value(Pick(4)),
            // Their value is kept as given but comes back under VALUE, which upper-cases: a plain
            // job keeps to values without letters.
            AnyCase(OneOf({"LE_VALUE", "GE_VALUE"})) + Equals() +
                (_plain ? OneOf({"0.3", "-2", "17"}) : Word())};
        if (oper) {
            const std::string reference = AnyCase("REFERENCE") + Equals() + AnyCase("DRESP, ");
            lines.push_back(reference + Name() + ", " + Number());
            lines.push_back(reference + Name());
        }
        if (type == "OPT_PARAM") {
            lines.push_back("REFERENCE = " + Name());
        }
        if (!_plain) {
            lines.push_back(Word()); // no '=': a placeholder
            lines.push_back(AnyCase(OneOf({"DEF_TYPE", "Colour", "WEIGHT", "END_"})) + Equals() +
                            Value(Pick(3)));
        }
        return OneOf(lines);
    }
    // An OPTIMIZE and OPT_PARAM commands that name it, most of them nameless.
    std::string OptimizeAndItsSettings() {
        const std::string name = Name();
        std::string text = "OPTIMIZE\n  ID_NAME = " + name + "\nEND_\n";
        for (std::size_t params = 2 + Pick(2); params > 0; --params) {
            text += "OPT_PARAM\n";
            if (Chance(30)) {
                text += "  ID_NAME = " + Name() + "\n";
            }
            text += "  REFERENCE = " + AnyCase(name) + "\n";
            for (std::size_t i = Pick(3); i > 0; --i) {
                text += Indent() + Line("OPT_PARAM", false) + "\n";
            }
            text += "END_\n";
        }
        return text;
    }
    std::string Block(bool last) {
        const auto& names = KestCmdDefs::get_default_cmd_names();
        std::string type = Chance(50) ? OneOf({"DRESP", "OPERATOR", "OPTIMIZE", "STOP", "OPT_PARAM",
                                               "DV", "DV_UPDATE_PARAM"})
                                      : names[Pick(names.size())];
        if (!_plain && Chance(15)) {
            type = OneOf({"MATERIAL", "DV_TOPO", "Frobnicate", "SET A"});
        }
        const bool oper = type == "OPERATOR" || (type == "DRESP" && Chance(40));
        std::string text = Indent() + AnyCase(type) + "\n";
        if (Chance(80)) {
            text += "  " + AnyCase("ID_NAME") + Equals() + Name() + "\n";
        }
        if (oper && type == "DRESP") {
            text += "  DEF_TYPE = OPER\n"; // its placeholder text is upper case already
        }
        for (std::size_t i = Pick(7); i > 0; --i) {
            text += Indent() + Line(type, oper) + "\n";
        }
        if (last && Chance(20)) {
            return text; // the end of the file closes the block
        }
        return text + Indent() + OneOf({"END_", "end_", "End_" + type, "END_" + type}) + "\n";
    }

    std::mt19937 _rng;
    bool _plain;
};

} // namespace test_support
