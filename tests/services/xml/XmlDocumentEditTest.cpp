#include "services/Error.h"
#include "services/xml/XmlDocument.h"
#include "support/TestSupport.h"
#include "support/XmlTree.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace velmora {
namespace {

using testing::attributeOf;
using testing::hasAttribute;
using testing::selectNodes;
using testing::TempDir;
using testing::textOf;

std::vector<std::string> names(const std::vector<XmlNode>& nodes) {
    std::vector<std::string> out;
    for (const auto& node : nodes) {
        out.push_back(node.name());
    }
    return out;
}

std::vector<std::string> texts(const std::vector<XmlNode>& nodes) {
    std::vector<std::string> out;
    for (const auto& node : nodes) {
        out.push_back(textOf(node));
    }
    return out;
}

XmlDocument reloaded(const XmlDocument& document) {
    TempDir dir;
    document.save(dir / "again.xml");
    return XmlDocument::load(dir / "again.xml");
}

const char* const kService = R"(<?xml version="1.0" encoding="UTF-8"?>
<SERVICIO>
  <PARAMETROS><centro>IES Sierra</centro></PARAMETROS>
  <SALIDAS>
    <listasal seq="MATERIAS">
      <listasal><salida>M1</salida><salida>Lengua <b>y</b> Literatura</salida></listasal>
      <listasal><salida>M2</salida></listasal>
    </listasal>
    <listasal seq="AULAS"><listasal><salida dato="NOMBRE">A1</salida></listasal></listasal>
  </SALIDAS>
  <PIE>fin</PIE>
</SERVICIO>
)";

TEST(XmlDocumentSelect, absoluteAndRelativePathsGiveNodesInDocumentOrder) {
    const XmlDocument document = XmlDocument::parse(kService, "t.xml");

    const auto records =
        selectNodes(document, "/SERVICIO/SALIDAS/listasal[@seq=\"MATERIAS\"]/listasal");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(texts(selectNodes(records[0], "salida")),
              (std::vector<std::string>{"M1", "Lengua y Literatura"}));
    EXPECT_EQ(texts(selectNodes(records[1], "salida")), (std::vector<std::string>{"M2"}));
    EXPECT_EQ(texts(selectNodes(document, "//salida")),
              (std::vector<std::string>{"M1", "Lengua y Literatura", "M2", "A1"}));
    EXPECT_TRUE(selectNodes(document, "/SERVICIO/SALIDAS/listasal[@seq=\"TAREAS\"]").empty());
    // A relative path from the document starts at the document node.
    EXPECT_EQ(names(selectNodes(document, "SERVICIO/PIE")), (std::vector<std::string>{"PIE"}));
}

TEST(XmlDocumentSelect, invalidPathsAndNonNodeResultsAreFaultsOfTheProgram) {
    const XmlDocument document = XmlDocument::parse(kService, "t.xml");
    for (const std::string path : {"/SERVICIO/[", "listasal[@seq=\"A]", "count(//salida)",
                                   "nosuchfunction()", "//salida/@"}) {
        try {
            selectNodes(document, path);
            ADD_FAILURE() << path << " gave no error";
        } catch (const std::logic_error& error) {
            EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
        }
    }
    EXPECT_THROW(selectNodes(XmlNode(), "salida"), std::logic_error);
}

TEST(XmlDocumentRead, textIsAllTextInsideWithReferencesResolved) {
    const XmlDocument document = XmlDocument::parse(
        "<a> x <b>&amp;&lt;<![CDATA[<&>]]></b>&#8364;&#x20AC;<!-- no --><?pi no?>\n</a>", "t");
    EXPECT_EQ(textOf(document.root()), " x &<<&>€€\n");
}

TEST(XmlDocumentRead, attributesAreReadByExactName) {
    const XmlDocument document = XmlDocument::parse(
        "<s xmlns:p=\"urn:x\" dato=\"NOMBRE\" DATO=\"otro\" vacio=\"\" p:extra=\"e\"/>", "t");
    const XmlNode node = document.root();
    EXPECT_TRUE(hasAttribute(node, "dato"));
    EXPECT_EQ(attributeOf(node, "dato"), "NOMBRE");
    EXPECT_EQ(attributeOf(node, "DATO"), "otro");
    EXPECT_TRUE(hasAttribute(node, "vacio"));
    EXPECT_EQ(attributeOf(node, "vacio"), "");
    EXPECT_FALSE(hasAttribute(node, "Dato"));
    EXPECT_EQ(attributeOf(node, "Dato"), "");
    EXPECT_FALSE(hasAttribute(node, "extra")); // in a namespace: another attribute
}

TEST(XmlDocumentRead, firstChildElementLooksOnlyAtChildren) {
    const XmlDocument document = XmlDocument::parse(
        "<SERVICIO><X><SALIDAS>deep</SALIDAS></X><SALIDAS>one</SALIDAS><SALIDAS>two</SALIDAS>"
        "</SERVICIO>",
        "t");
    EXPECT_EQ(textOf(document.root().firstChildElement("SALIDAS")), "one");
    EXPECT_TRUE(document.root().firstChildElement("salidas").isNull());
    EXPECT_TRUE(XmlNode().firstChildElement("SALIDAS").isNull());
}

TEST(XmlDocumentEdit, removeChildRefusesMissingNodesAndNonChildren) {
    XmlDocument document = XmlDocument::parse(kService, "t.xml");
    XmlNode root = document.root();
    const XmlNode grandchild = selectNodes(document, "//listasal[@seq=\"AULAS\"]")[0];

    EXPECT_THROW(root.removeChild(XmlNode()), std::logic_error);
    EXPECT_THROW(root.removeChild(root.firstChildElement("NOPE")), std::logic_error);
    EXPECT_THROW(root.removeChild(grandchild), std::logic_error);
    EXPECT_THROW(root.removeChild(root), std::logic_error);
    EXPECT_EQ(selectNodes(document, "//listasal[@seq]").size(), 2u); // nothing was detached

    root.removeChild(root.firstChildElement("SALIDAS"));
    EXPECT_TRUE(root.firstChildElement("SALIDAS").isNull());
    EXPECT_TRUE(selectNodes(document, "//salida").empty());
}

TEST(XmlDocumentEdit, replacingSalidasPutsTheNewOneLastAndKeepsTheRest) {
    XmlDocument document = XmlDocument::parse(kService, "t.xml");
    XmlNode root = document.root();
    root.removeChild(root.firstChildElement("SALIDAS"));
    XmlNode created = document.createElement("SALIDAS");
    EXPECT_TRUE(selectNodes(document, "//SALIDAS").empty()); // not in the tree yet
    root.appendChild(created);

    XmlNode salidas = root.firstChildElement("SALIDAS");
    XmlNode error = salidas.appendChild(document.createElement("ERROR"));
    XmlNode value = document.createElement("salida");
    value.setAttribute("dato", "TE_ERROR");
    value.setText("Servicio finalizado Correctamente");
    error.appendChild(value);

    const XmlDocument again = reloaded(document);
    EXPECT_EQ(names(selectNodes(again, "/SERVICIO/*")),
              (std::vector<std::string>{"PARAMETROS", "PIE", "SALIDAS"}));
    EXPECT_EQ(textOf(again.root().firstChildElement("PARAMETROS")), "IES Sierra");
    const auto written = selectNodes(again, "/SERVICIO/SALIDAS/ERROR/salida[@dato=\"TE_ERROR\"]");
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(textOf(written[0]), "Servicio finalizado Correctamente");
}

TEST(XmlDocumentEdit, appendChildAddsLastAndMovesAnElementAlreadyInTheTree) {
    XmlDocument document = XmlDocument::parse("<r><a/><b/><c/></r>", "t");
    XmlNode root = document.root();
    root.appendChild(document.createElement("d"));
    root.appendChild(root.firstChildElement("a"));
    EXPECT_EQ(names(selectNodes(document, "/r/*")), (std::vector<std::string>{"b", "c", "d", "a"}));

    XmlNode b = root.firstChildElement("b");
    EXPECT_THROW(b.appendChild(root), std::logic_error); // would put the root inside its own child
    EXPECT_THROW(root.appendChild(XmlNode()), std::logic_error);
    XmlDocument other = XmlDocument::parse("<o/>", "o");
    EXPECT_THROW(root.appendChild(other.createElement("x")), std::logic_error);
}

TEST(XmlDocumentEdit, createElementRefusesNamesThatAreNotXml) {
    XmlDocument document = XmlDocument::parse("<r/>", "t");
    for (const std::string name : {"", "1abc", "a b", "<x>"}) {
        EXPECT_THROW(document.createElement(name), std::logic_error) << name;
    }
    EXPECT_THROW(document.root().setAttribute("a b", "x"), std::logic_error);
}

TEST(XmlDocumentEdit, elementsCreatedButNeverAppendedGoWithTheDocument) {
    // Run under the address sanitizer, a leak here fails the test program.
    XmlDocument document = XmlDocument::parse("<r/>", "t");
    XmlNode lonely = document.createElement("solo");
    lonely.setText("sin padre");
    lonely.appendChild(document.createElement("hijo"));
    XmlDocument moved = std::move(document);
    moved = XmlDocument::parse("<s/>", "s");
    EXPECT_EQ(moved.root().name(), "s");
}

TEST(XmlDocumentEdit, textAndAttributesKeepMarkupCharactersAsText) {
    XmlDocument document = XmlDocument::parse("<r><salida>old<b>bold</b></salida></r>", "t");
    XmlNode salida = document.root().firstChildElement("salida");
    salida.setText("<&> \"Física\" &amp; 'é'");
    salida.setAttribute("dato", "a<b>&\"c\"'d'");

    EXPECT_EQ(textOf(salida), "<&> \"Física\" &amp; 'é'");
    EXPECT_TRUE(selectNodes(salida, "*").empty()); // the old child element is gone
    const XmlDocument again = reloaded(document);
    const XmlNode back = again.root().firstChildElement("salida");
    EXPECT_EQ(textOf(back), "<&> \"Física\" &amp; 'é'");
    EXPECT_EQ(attributeOf(back, "dato"), "a<b>&\"c\"'d'");
}

TEST(XmlDocumentEdit, emptyTextLeavesTheElementEmpty) {
    XmlDocument document = XmlDocument::parse("<r><salida dato=\"X\">old</salida></r>", "t");
    XmlNode salida = document.root().firstChildElement("salida");
    salida.setText("");
    EXPECT_EQ(textOf(salida), "");
    EXPECT_TRUE(selectNodes(salida, "node()").empty());
    EXPECT_EQ(attributeOf(salida, "dato"), "X");
}

TEST(XmlDocumentEdit, invalidUtf8TextIsRefused) {
    XmlDocument document = XmlDocument::parse("<r/>", "t");
    EXPECT_THROW(document.root().setText("Educaci\xF3n"), std::logic_error);
    EXPECT_THROW(document.root().setAttribute("dato", "Educaci\xF3n"), std::logic_error);
}

} // namespace
} // namespace velmora
