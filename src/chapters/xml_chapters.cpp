// Chapter lists in XML, read with pugixml: Matroska chapters (as mkvextract writes them) and
// dvdauthor projects. Entities declared in a DTD are never expanded (pugixml knows only the
// five predefined ones and character references), documents that declare any are refused, and
// elements nested deeper than kMaxXmlDepth are refused before anything is read from them.

#include <pugixml.hpp>

#include "parsers.h"

namespace varnix::chapter_parsers {

namespace {

constexpr int kMaxXmlDepth = 32;

// The line of a node in the text (from 1), or 0 when pugixml cannot tell.
int LineOf(std::string_view text, std::ptrdiff_t offset) {
    if (offset < 0 || static_cast<std::size_t>(offset) > text.size()) {
        return 0;
    }
    int line = 1;
    for (std::size_t i = 0; i < static_cast<std::size_t>(offset); ++i) {
        line += text[i] == '\n' ? 1 : 0;
    }
    return line;
}

// The first element nested deeper than the limit, walking without recursion.
pugi::xml_node TooDeep(const pugi::xml_document& doc) {
    pugi::xml_node node = doc.first_child();
    int depth = 1;
    while (node) {
        if (depth > kMaxXmlDepth) {
            return node;
        }
        if (node.first_child()) {
            node = node.first_child();
            ++depth;
            continue;
        }
        while (node && !node.next_sibling()) {
            node = node.parent();
            --depth;
        }
        if (node) {
            node = node.next_sibling();
        }
    }
    return {};
}

// A Matroska chapter time: nanoseconds, or HH:MM:SS.nnnnnnnnn.
std::optional<ChapterTime> MatroskaTime(std::string_view text) {
    if (const auto nanoseconds = ParseWholeNumber(text)) {
        return TimeFromFraction(*nanoseconds, 1'000'000'000);
    }
    return ParseClockText(text, 3, 3);
}

class XmlReader {
  public:
    XmlReader(std::string_view text, const std::string& source) : text_(text), source_(source) {}

    ChapterReadResult Fail(const pugi::xml_node& node, const std::string& what) const {
        return ChapterReadResult::Failed(source_, LineOf(text_, node.offset_debug()), what);
    }

    ChapterReadResult Matroska(const pugi::xml_node& root) const {
        pugi::xml_node edition;
        for (const auto& e : root.children("EditionEntry")) {
            if (!edition) {
                edition = e;
            }
            if (Trim(e.child_value("EditionFlagOrdered")) == "1") {
                edition = e;
                break;
            }
        }
        if (!edition) {
            return Fail(root, "Chapters without an EditionEntry");
        }
        ChapterList list;
        list.format = ChapterFormat::MatroskaXml;
        int number = 0;
        for (const auto& atom : edition.children("ChapterAtom")) {
            ++number;
            const std::string which = "ChapterAtom " + std::to_string(number);
            const pugi::xml_node startNode = atom.child("ChapterTimeStart");
            if (!startNode) {
                return Fail(atom, which + " has no ChapterTimeStart");
            }
            Chapter chapter;
            chapter.line = LineOf(text_, startNode.offset_debug());
            const auto start = MatroskaTime(Trim(startNode.child_value()));
            if (!start) {
                return Fail(startNode, which + ": ChapterTimeStart \"" +
                                           std::string(Trim(startNode.child_value())) +
                                           "\" is neither nanoseconds nor HH:MM:SS.nnnnnnnnn");
            }
            chapter.start = *start;
            if (const pugi::xml_node endNode = atom.child("ChapterTimeEnd")) {
                chapter.end = MatroskaTime(Trim(endNode.child_value()));
                if (!chapter.end) {
                    return Fail(endNode, which + ": ChapterTimeEnd \"" +
                                             std::string(Trim(endNode.child_value())) +
                                             "\" is neither nanoseconds nor HH:MM:SS.nnnnnnnnn");
                }
            }
            chapter.name = CleanName(atom.child("ChapterDisplay").child_value("ChapterString"));
            list.chapters.push_back(std::move(chapter));
        }
        if (list.chapters.empty()) {
            return Fail(edition, "EditionEntry without a ChapterAtom");
        }
        return CheckedChapterList(std::move(list), source_);
    }

    // The vobs of the first title (or else menu) pgc that has chapters.
    ChapterReadResult Dvdauthor(const pugi::xml_node& root,
                                const ChapterReadOptions& options) const {
        pugi::xml_node chosen;
        for (const bool titlesOnly : {true, false}) {
            for (const auto& found : root.select_nodes("//pgc[vob/@chapters]")) {
                const pugi::xml_node pgc = found.node();
                if (!titlesOnly || std::string_view(pgc.parent().name()) == "titles") {
                    chosen = pgc;
                    break;
                }
            }
            if (chosen) {
                break;
            }
        }
        if (!chosen) {
            return Fail(root, "no pgc with a vob that has a chapters attribute");
        }
        std::vector<ChapterSegment> segments;
        for (const auto& vob : chosen.children("vob")) {
            ChapterSegment segment{
                vob.attribute("file").value(), LineOf(text_, vob.offset_debug()), {}};
            if (const auto chapters = vob.attribute("chapters")) {
                std::string problem;
                if (!ParseDvdauthorTimes(chapters.value(), segment.line, segment.chapters,
                                         problem)) {
                    return Fail(vob, "vob chapters: " + problem);
                }
            }
            segments.push_back(std::move(segment));
        }
        return ChainSegments(ChapterFormat::DvdauthorXml, segments, source_, options);
    }

  private:
    std::string_view text_;
    const std::string& source_;
};

}  // namespace

ChapterReadResult ParseXmlChapters(std::string_view text, const std::string& source,
                                   const ChapterReadOptions& options) {
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_doctype);
    if (!parsed) {
        return ChapterReadResult::Failed(
            source, LineOf(text, parsed.offset),
            std::string("not well-formed XML: ") + parsed.description());
    }
    const XmlReader reader(text, source);
    for (const auto& node : doc.children()) {
        if (node.type() == pugi::node_doctype &&
            std::string_view(node.value()).find("ENTITY") != std::string_view::npos) {
            return reader.Fail(node, "a DOCTYPE that declares entities is not accepted");
        }
    }
    if (const pugi::xml_node deep = TooDeep(doc)) {
        return reader.Fail(deep, std::string(deep.name()) + " is nested deeper than " +
                                     std::to_string(kMaxXmlDepth) + " elements");
    }
    const pugi::xml_node root = doc.document_element();
    const std::string_view name = root.name();
    if (name == "Chapters") {
        return reader.Matroska(root);
    }
    if (name == "dvdauthor") {
        return reader.Dvdauthor(root, options);
    }
    return reader.Fail(root, "XML whose root element " + std::string(name) +
                                 " is neither Matroska <Chapters> nor <dvdauthor>");
}

}  // namespace varnix::chapter_parsers
