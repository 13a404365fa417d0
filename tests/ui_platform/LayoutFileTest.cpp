// Reading layout files: what is accepted, and that anything unexpected is refused.

#include <gtest/gtest.h>

#include "host/ui/LayoutFile.h"

namespace {

using host::layout::Kind;
using host::layout::Node;
using host::layout::Parse;

TEST(LayoutFileTest, ReadsPlacementsForBothOrientations) {
    Node root;
    ASSERT_EQ(Parse(R"(<form id="IDF_A" style="title softkey0">
                         <List id="IDC_L" portrait="0 0 480 664" landscape="0 0 800 344" rowHeight="72"/>
                         <ScrollPanel id="IDC_P" bounds="0 0 10 20"><Label id="IDC_X" bounds="1 2 3 4" text="Hi"/></ScrollPanel>
                       </form>)",
                    Kind::kForm, root),
              Osp::Base::E_SUCCESS);
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_EQ(*root.children[0].portrait, QRect(0, 0, 480, 664));
    EXPECT_EQ(*root.children[0].landscape, QRect(0, 0, 800, 344));
    EXPECT_EQ(*root.children[1].landscape, QRect(0, 0, 10, 20));
    EXPECT_EQ(root.children[1].children[0].Text("text"), QStringLiteral("Hi"));
}

TEST(LayoutFileTest, RefusesWhatIsNotALayout) {
    const char* cases[] = {
        R"(<popup id="IDP_A" size="10 10"/>)",                                          // wrong kind
        R"(<form id="IDF_A"><Blink id="IDC_B" bounds="0 0 1 1"/></form>)",              // unknown control
        R"(<form id="IDF_A"><Label id="IDC_B" bounds="0 0 1 1" onclick="x"/></form>)",  // unknown attribute
        R"(<form id="IDF_A"><Label id="IDC_B"/></form>)",                               // no place
        R"(<form id="IDF_A"><Label bounds="0 0 1 1"/></form>)",                         // no identifier
        R"(<form id="IDF_A"><Label id="IDC_B" bounds="0 0 -1 1"/></form>)",             // negative size
        R"(<form id="IDF_A"><Label id="IDC_B" bounds="0 0 1"/></form>)",                // three numbers
        R"(<form id="IDF_A"><Label id="IDC_B" bounds="0 0 99999 1"/></form>)",          // out of range
        R"(<form id="IDF_A"><Label id="IDC_B" bounds="0 0 1 1" textSize="9000"/></form>)",
        R"(<form id="IDF_A"><Label id="IDC_B" bounds="0 0 1 1"><Label id="C" bounds="0 0 1 1"/></Label></form>)",
        R"(<form id="IDF_A"><List id="IDC_B" bounds="0 0 1 1")",  // cut short
        R"(<form id="IDF_A"/><form id="IDF_B"/>)",                // two roots
    };
    for (const char* xml : cases) {
        Node root;
        EXPECT_EQ(Parse(xml, Kind::kForm, root), Osp::Base::E_INVALID_FORMAT) << xml;
    }
}

TEST(LayoutFileTest, BoundsTheNumberOfControls) {
    QByteArray xml = "<form id=\"IDF_A\">";
    for (int i = 0; i <= host::layout::kMaxControls; ++i) {
        xml += "<Label id=\"IDC_L\" bounds=\"0 0 1 1\"/>";
    }
    xml += "</form>";
    Node root;
    EXPECT_EQ(Parse(xml, Kind::kForm, root), Osp::Base::E_INVALID_FORMAT);
}

}  // namespace
