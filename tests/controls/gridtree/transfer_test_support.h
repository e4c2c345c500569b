// Helpers of the streaming, sorting and transfer tests: a tree whose nodes carry an integer
// key as user data, saved and loaded with the node, and a compact picture of a tree's shape.
#pragma once

#include <string>

#include "classlib/streams.h"
#include "tree_test_support.h"

// Node data: one int. New nodes get the next number (from 1) when they are initialised.
class TKeyTree : public TTestTree {
public:
    TKeyTree() {
        SetNodeDataSize(sizeof(int));
        OnInitNode = [this](gridtree::TBaseGridTree*, gridtree::PGridNode, gridtree::PGridNode Node,
                            gridtree::TGridNodeInitStates&) { Key(Node) = ++NextKey; };
        OnSaveNode = [this](gridtree::TBaseGridTree*, gridtree::PGridNode Node, classlib::TStream& Stream) {
            Stream.WriteBuffer(&Key(Node), sizeof(int));
        };
        OnLoadNode = [this](gridtree::TBaseGridTree*, gridtree::PGridNode Node, classlib::TStream& Stream) {
            Stream.ReadBuffer(&Key(Node), sizeof(int));
        };
    }
    int& Key(gridtree::PGridNode Node) { return *static_cast<int*>(GetNodeData(Node)); }
    // The keys in tree order with the children in parentheses: "1(2,3),4".
    std::string Shape(gridtree::PGridNode Parent = nullptr) {
        std::string out;
        for (gridtree::PGridNode n = GetFirstChildNoInitOf(Parent); n; n = n->NextSiblingNode) {
            if (!out.empty()) out += ",";
            out += std::to_string(Key(n));
            if (n->FirstChildNode) out += "(" + Shape(n) + ")";
        }
        return out;
    }
    // Builds the shape of a string like "1(2,3),4": keys as given, every node initialised.
    void Build(const std::string& Text) {
        size_t at = 0;
        BuildLevel(nullptr, Text, at);
    }
    int NextKey = 0;

private:
    gridtree::PGridNode GetFirstChildNoInitOf(gridtree::PGridNode Parent) {
        return (Parent ? Parent : RootNode())->FirstChildNode;
    }
    void BuildLevel(gridtree::PGridNode Parent, const std::string& Text, size_t& At) {
        while (At < Text.size() && Text[At] != ')') {
            size_t end = At;
            while (end < Text.size() && isdigit(static_cast<unsigned char>(Text[end]))) ++end;
            const int key = std::stoi(Text.substr(At, end - At));
            At = end;
            gridtree::PGridNode node = MakeNewNode();
            node->States |= gridtree::vsInitialized;
            InternalConnectNode(node, Parent ? Parent : RootNode(), gridtree::amAddChildLast);
            Key(node) = key;
            if (At < Text.size() && Text[At] == '(') {
                ++At;
                BuildLevel(node, Text, At);
                ++At;  // ')'
                SetExpanded(node, true);
            }
            if (At < Text.size() && Text[At] == ',') ++At;
        }
    }
};

// The bytes of a memory stream.
inline std::string StreamBytes(classlib::TMemoryStream& Stream) {
    return std::string(static_cast<const char*>(Stream.Memory()), size_t(Stream.Size()));
}
