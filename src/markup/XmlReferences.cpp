#include "markup/XmlReferences.h"

#include <array>
#include <vector>

namespace ovek::xml {

namespace {

struct NamedReference {
    const char* name;  // as HTML spells it
    uint32_t value;
};

// The character entities of HTML 4.01 and "apos". Where a name exists in two
// case forms the upper-case form comes first.
constexpr NamedReference kReferences[] = {
    // Latin-1
    {"nbsp", 160}, {"iexcl", 161}, {"cent", 162}, {"pound", 163}, {"curren", 164},
    {"yen", 165}, {"brvbar", 166}, {"sect", 167}, {"uml", 168}, {"copy", 169},
    {"ordf", 170}, {"laquo", 171}, {"not", 172}, {"shy", 173}, {"reg", 174},
    {"macr", 175}, {"deg", 176}, {"plusmn", 177}, {"sup2", 178}, {"sup3", 179},
    {"acute", 180}, {"micro", 181}, {"para", 182}, {"middot", 183}, {"cedil", 184},
    {"sup1", 185}, {"ordm", 186}, {"raquo", 187}, {"frac14", 188}, {"frac12", 189},
    {"frac34", 190}, {"iquest", 191},
    {"Agrave", 192}, {"agrave", 224}, {"Aacute", 193}, {"aacute", 225},
    {"Acirc", 194}, {"acirc", 226}, {"Atilde", 195}, {"atilde", 227},
    {"Auml", 196}, {"auml", 228}, {"Aring", 197}, {"aring", 229},
    {"AElig", 198}, {"aelig", 230}, {"Ccedil", 199}, {"ccedil", 231},
    {"Egrave", 200}, {"egrave", 232}, {"Eacute", 201}, {"eacute", 233},
    {"Ecirc", 202}, {"ecirc", 234}, {"Euml", 203}, {"euml", 235},
    {"Igrave", 204}, {"igrave", 236}, {"Iacute", 205}, {"iacute", 237},
    {"Icirc", 206}, {"icirc", 238}, {"Iuml", 207}, {"iuml", 239},
    {"ETH", 208}, {"eth", 240}, {"Ntilde", 209}, {"ntilde", 241},
    {"Ograve", 210}, {"ograve", 242}, {"Oacute", 211}, {"oacute", 243},
    {"Ocirc", 212}, {"ocirc", 244}, {"Otilde", 213}, {"otilde", 245},
    {"Ouml", 214}, {"ouml", 246}, {"times", 215}, {"divide", 247},
    {"Oslash", 216}, {"oslash", 248}, {"Ugrave", 217}, {"ugrave", 249},
    {"Uacute", 218}, {"uacute", 250}, {"Ucirc", 219}, {"ucirc", 251},
    {"Uuml", 220}, {"uuml", 252}, {"Yacute", 221}, {"yacute", 253},
    {"THORN", 222}, {"thorn", 254}, {"szlig", 223}, {"Yuml", 376}, {"yuml", 255},
    // Symbols and Greek letters
    {"fnof", 402},
    {"Alpha", 913}, {"alpha", 945}, {"Beta", 914}, {"beta", 946},
    {"Gamma", 915}, {"gamma", 947}, {"Delta", 916}, {"delta", 948},
    {"Epsilon", 917}, {"epsilon", 949}, {"Zeta", 918}, {"zeta", 950},
    {"Eta", 919}, {"eta", 951}, {"Theta", 920}, {"theta", 952},
    {"Iota", 921}, {"iota", 953}, {"Kappa", 922}, {"kappa", 954},
    {"Lambda", 923}, {"lambda", 955}, {"Mu", 924}, {"mu", 956},
    {"Nu", 925}, {"nu", 957}, {"Xi", 926}, {"xi", 958},
    {"Omicron", 927}, {"omicron", 959}, {"Pi", 928}, {"pi", 960},
    {"Rho", 929}, {"rho", 961}, {"sigmaf", 962}, {"Sigma", 931}, {"sigma", 963},
    {"Tau", 932}, {"tau", 964}, {"Upsilon", 933}, {"upsilon", 965},
    {"Phi", 934}, {"phi", 966}, {"Chi", 935}, {"chi", 967},
    {"Psi", 936}, {"psi", 968}, {"Omega", 937}, {"omega", 969},
    {"thetasym", 977}, {"upsih", 978}, {"piv", 982},
    {"bull", 8226}, {"hellip", 8230}, {"Prime", 8243}, {"prime", 8242},
    {"oline", 8254}, {"frasl", 8260}, {"weierp", 8472}, {"image", 8465},
    {"real", 8476}, {"trade", 8482}, {"alefsym", 8501},
    {"lArr", 8656}, {"larr", 8592}, {"uArr", 8657}, {"uarr", 8593},
    {"rArr", 8658}, {"rarr", 8594}, {"dArr", 8659}, {"darr", 8595},
    {"hArr", 8660}, {"harr", 8596}, {"crarr", 8629},
    {"forall", 8704}, {"part", 8706}, {"exist", 8707}, {"empty", 8709},
    {"nabla", 8711}, {"isin", 8712}, {"notin", 8713}, {"ni", 8715},
    {"prod", 8719}, {"sum", 8721}, {"minus", 8722}, {"lowast", 8727},
    {"radic", 8730}, {"prop", 8733}, {"infin", 8734}, {"ang", 8736},
    {"and", 8743}, {"or", 8744}, {"cap", 8745}, {"cup", 8746}, {"int", 8747},
    {"there4", 8756}, {"sim", 8764}, {"cong", 8773}, {"asymp", 8776},
    {"ne", 8800}, {"equiv", 8801}, {"le", 8804}, {"ge", 8805},
    {"sub", 8834}, {"sup", 8835}, {"nsub", 8836}, {"sube", 8838}, {"supe", 8839},
    {"oplus", 8853}, {"otimes", 8855}, {"perp", 8869}, {"sdot", 8901},
    {"lceil", 8968}, {"rceil", 8969}, {"lfloor", 8970}, {"rfloor", 8971},
    {"lang", 9001}, {"rang", 9002}, {"loz", 9674},
    {"spades", 9824}, {"clubs", 9827}, {"hearts", 9829}, {"diams", 9830},
    // Markup-significant and internationalisation characters
    {"quot", 34}, {"amp", 38}, {"lt", 60}, {"gt", 62}, {"apos", 39},
    {"OElig", 338}, {"oelig", 339}, {"Scaron", 352}, {"scaron", 353},
    {"circ", 710}, {"tilde", 732}, {"ensp", 8194}, {"emsp", 8195},
    {"thinsp", 8201}, {"zwnj", 8204}, {"zwj", 8205}, {"lrm", 8206}, {"rlm", 8207},
    {"ndash", 8211}, {"mdash", 8212}, {"lsquo", 8216}, {"rsquo", 8217},
    {"sbquo", 8218}, {"ldquo", 8220}, {"rdquo", 8221}, {"bdquo", 8222},
    {"Dagger", 8225}, {"dagger", 8224}, {"permil", 8240}, {"lsaquo", 8249},
    {"rsaquo", 8250}, {"euro", 8364},
};

constexpr size_t kBuckets = 130;

inline wchar_t FoldAscii(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
}

unsigned FoldedSum(const char* name) {
    unsigned sum = 0;
    for (; *name; ++name) sum += static_cast<unsigned>(FoldAscii(static_cast<wchar_t>(*name)));
    return sum;
}

// Bucket = sum of the lower-cased name's code units mod 130; each bucket
// lists table positions in table order.
const std::array<std::vector<uint16_t>, kBuckets>& Buckets() {
    static const auto buckets = [] {
        std::array<std::vector<uint16_t>, kBuckets> b;
        for (size_t i = 0; i < std::size(kReferences); ++i)
            b[FoldedSum(kReferences[i].name) % kBuckets].push_back(static_cast<uint16_t>(i));
        return b;
    }();
    return buckets;
}

}  // namespace

size_t NamedReferenceCount() { return std::size(kReferences); }

void AppendCodePoint(std::wstring& out, uint32_t cp) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
            return;
        }
    }
    out.push_back(static_cast<wchar_t>(cp));
}

uint32_t NamedReferenceValue(const wchar_t* name, size_t length) {
    if (length == 0 || length > 9) return 0;
    unsigned sum = 0;
    for (size_t i = 0; i < length; ++i) {
        if (static_cast<uint32_t>(name[i]) >= 0x80) return 0;  // wchar_t may be signed
        sum += static_cast<unsigned>(FoldAscii(name[i]));
    }
    uint32_t first = 0;
    for (uint16_t index : Buckets()[sum % kBuckets]) {
        const char* candidate = kReferences[index].name;
        bool folded = true, exact = true;
        size_t i = 0;
        for (; i < length && candidate[i]; ++i) {
            wchar_t c = static_cast<wchar_t>(candidate[i]);
            if (FoldAscii(c) != FoldAscii(name[i])) {
                folded = false;
                break;
            }
            if (c != name[i]) exact = false;
        }
        if (!folded || i != length || candidate[i] != 0) continue;
        if (exact) return kReferences[index].value;
        if (!first) first = kReferences[index].value;
    }
    return first;
}

void DecodeReferences(const wchar_t* text, size_t length, std::wstring& out) {
    size_t i = 0;
    while (i < length) {
        wchar_t c = text[i];
        if (c != L'&') {
            out.push_back(c);
            ++i;
            continue;
        }
        // 1 to 9 ASCII characters, then ';'.
        size_t m = 0;
        bool closed = false;
        while (m <= 9 && i + 1 + m < length) {
            wchar_t ch = text[i + 1 + m];
            if (ch == L';') {
                closed = true;
                break;
            }
            if (static_cast<uint32_t>(ch) >= 0x80) break;
            ++m;
        }
        uint32_t value = 0;
        if (closed && m >= 1 && m <= 9) {
            const wchar_t* name = text + i + 1;
            if (name[0] == L'#') {
                size_t k = 1;
                if (k < m && FoldAscii(name[k]) == L'x') {
                    for (++k; k < m; ++k) {
                        wchar_t d = FoldAscii(name[k]);
                        uint32_t digit;
                        if (d >= L'0' && d <= L'9') digit = d - L'0';
                        else if (d >= L'a' && d <= L'f') digit = d - L'a' + 10;
                        else break;
                        value = value * 16 + digit;  // at most 7 digits: no overflow
                    }
                } else {
                    for (; k < m && name[k] >= L'0' && name[k] <= L'9'; ++k)
                        value = value * 10 + (name[k] - L'0');  // at most 8 digits
                }
                // Surrogates and values beyond Unicode are no characters.
                if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) value = 0;
            } else {
                value = NamedReferenceValue(name, m);
            }
        }
        if (value) {
            AppendCodePoint(out, value);
            i += m + 2;
        } else {
            out.push_back(L'&');
            ++i;
        }
    }
}

}  // namespace ovek::xml
