#pragma once
// An XML document held as one string of text units plus an element index
// built in one pass. Parsing is tolerant: problems are recorded in a short
// result report and the structure is repaired; the parse result says whether
// the document was well formed. Readers walk it forward with a three-level
// position (parent level, main element, child of the main element).
//
// Offsets and lengths count wchar_t units of the text (UTF-16 code units on
// Windows; code points where wchar_t is 32 bits).
//
// No platform header here: the parser and the navigation build natively too.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ovek {

// One entry of the element index: eight 32-bit fields.
struct ElementRecord {
    int32_t start = 0;       // offset of the '<' of the start tag
    int32_t length = 0;      // from start to the end of the element
    uint32_t tagLengths = 0; // low 22 bits start-tag length, high 10 bits end-tag length
    uint32_t flags = 0;      // low 16 bits level, plus the Elem* bits below
    int32_t parent = 0;
    int32_t firstChild = 0;
    int32_t next = 0;
    int32_t prev = 0;        // the first child's prev designates the last child

    static constexpr uint32_t kLevelMask = 0xFFFF;
    static constexpr uint32_t kFirstChild = 0x80000;
    static constexpr uint32_t kUnended = 0x100000;
    static constexpr uint32_t kProblem = 0x200000;
    static constexpr uint32_t kNotWellFormed = 0x800000;  // record 0 only
    static constexpr uint32_t kStartTagMask = 0x3FFFFF;
    static constexpr uint32_t kMaxStartTag = 0x3FFFFF;
    static constexpr uint32_t kMaxEndTag = 0x3FF;
    static constexpr uint32_t kMaxLevel = 0xFFFF;

    uint32_t StartTagLength() const { return tagLengths & kStartTagMask; }
    uint32_t EndTagLength() const { return tagLengths >> 22; }
    uint32_t Level() const { return flags & kLevelMask; }
};

// Element records in segments of 65,536, addressed by element number.
class ElementIndex {
public:
    static constexpr int kSegmentBits = 16;
    static constexpr int32_t kSegmentSize = 1 << kSegmentBits;

    ElementIndex();
    ElementRecord& operator[](int32_t n) {
        return segments_[static_cast<size_t>(n) >> kSegmentBits][n & (kSegmentSize - 1)];
    }
    const ElementRecord& operator[](int32_t n) const {
        return segments_[static_cast<size_t>(n) >> kSegmentBits][n & (kSegmentSize - 1)];
    }
    int32_t Capacity() const { return capacity_; }
    // Makes room for at least `records` records; copies only the records of a
    // partial last segment.
    void Reserve(int32_t records);
    void Release();  // back to the initial capacity of 8
    size_t SegmentListCapacity() const { return segments_.capacity(); }

private:
    std::vector<std::unique_ptr<ElementRecord[]>> segments_;
    int32_t capacity_ = 0;
};

class CXmlDocument {
public:
    // Document flags.
    static constexpr uint32_t kIgnoreCase = 0x8;     // names compare without regard to ASCII case
    static constexpr uint32_t kUtf16LeBom = 0x80;    // the loaded file had a UTF-16LE byte-order mark
    static constexpr uint32_t kUtf8Bom = 0x100;      // ... a UTF-8 byte-order mark
    static constexpr uint32_t kUtf16BeBom = 0x200;   // ... a UTF-16BE byte-order mark

    CXmlDocument();
    ~CXmlDocument();
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    // Replaces the text (null: empty text, index storage released), clears the
    // result report and parses. True when the document is well formed: no
    // problem recorded and exactly one top-level element.
    bool SetDocumentText(const wchar_t* text);
    bool SetDocumentText(const std::wstring& text);

    // Reads and decodes a file, then parses it. False when the file cannot be
    // opened or read (the document is then empty) or is not well formed.
    // Windows only (lives with the file reader).
    bool LoadFile(const wchar_t* path);
    bool LoadFile(const std::wstring& path) { return LoadFile(path.c_str()); }

    // The result report: empty elements such as <lone_end_tag tagname="b" offset="17"/>.
    const std::wstring& GetResult() const { return result_; }

    // Navigation. A null or empty name matches any element; a failed find
    // leaves the position as it was.
    bool FindElement(const wchar_t* name = nullptr);
    bool FindElement(const std::wstring& name) { return FindElement(name.c_str()); }
    bool FindChildElement(const wchar_t* name = nullptr);
    bool FindChildElement(const std::wstring& name) { return FindChildElement(name.c_str()); }
    bool EnterElement();  // the main element becomes the parent level
    bool LeaveElement();  // back to the level above

    // Text content of the main element with references decoded; empty when
    // it has no content or holds a child element.
    std::wstring GetElementText() const;

    // Name of the main element (empty when there is none).
    std::wstring GetElementName() const;

    // Inspection.
    const std::wstring& GetText() const { return text_; }
    uint32_t GetFlags() const { return flags_; }
    void SetFlags(uint32_t flags) { flags_ = flags; }
    int32_t ParentPos() const { return parentPos_; }
    int32_t MainPos() const { return mainPos_; }
    int32_t ChildPos() const { return childPos_; }
    int32_t NodeKind() const { return nodeKind_; }
    int32_t NextFreeElement() const { return nextFree_; }
    const ElementRecord& Record(int32_t n) const { return index_[n]; }
    const ElementIndex& Index() const { return index_; }
    // Name of element n as written in its start tag.
    std::wstring ElementName(int32_t n) const;

private:
    friend class XmlFileReader;
    bool AssignAndParse(std::wstring_view text);  // the report is already cleared
    bool Parse();
    bool ParseText();
    void ResetPosition();
    void Clear();
    bool ElementNameIs(int32_t n, const wchar_t* key, size_t keyLength) const;
    int32_t FindSibling(int32_t from, const wchar_t* name) const;

    std::wstring text_;
    std::wstring result_;
    int32_t parentPos_ = 0;
    int32_t mainPos_ = 0;
    int32_t childPos_ = 0;
    int32_t nextFree_ = 1;
    int32_t freeHead_ = 0;
    int32_t nodeKind_ = 0;
    int32_t nodeOffset_ = 0;
    int32_t nodeLength_ = 0;
    uint32_t flags_ = 0;
    ElementIndex index_;
};

}  // namespace ovek
