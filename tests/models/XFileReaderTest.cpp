#include "models/XFile.h"
#include "models/XModel.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace kv;

namespace {

const char* kTextModel = R"(xof 0302txt 0032
template Frame {
 <3D82AB46-62DA-11cf-AB39-0020AF71E433>
 [...]
}
// a comment
Frame Body {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,2,0,1;; }
  Frame Arm {
    FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 3,0,0,1;; }
    Mesh ArmMesh {
      4;
      0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;
      2;
      3;0,1,2;, 3;0,2,3;;
      MeshNormals { 1; 0;0;-1;; 2; 3;0,0,0;, 3;0,0,0;; }
      MeshTextureCoords { 4; 0;0;, 1;0;, 1;1;, 0;1;; }
      MeshMaterialList {
        3; 2; 2, 0;;
        Material Skin { 1;0.8;0.6;1;; 5; 0;0;0;; 0;0;0;; TextureFilename { "Skin.bmp"; } }
        Material Unused { 0;0;1;1;; 0; 0;0;0;; 0;0;0;; }
        { Cloth }
      }
    }
  }
  Frame Hand { }
}
Material Cloth { 0;1;0;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { "Hair_11.bmp"; } }
AnimationSet Motion {
  Animation { { Arm } AnimationKey { 2; 2; 0;3;1,2,3;;, 100;3;4,5,6;;; } }
  Animation { { Hand } AnimationKey { 5; 1; 0;1;7;;; } }
}
)";

std::string load(XModel& m, std::string_view bytes) {
    return m.loadBytes(bytes);
}

// Builds binary-encoded files token by token.
struct BinaryX {
    std::string s = "xof 0302bin 0032";
    void token(uint16_t t) { s.append(reinterpret_cast<char*>(&t), 2); }
    void u32(uint32_t v) { s.append(reinterpret_cast<char*>(&v), 4); }
    void name(const std::string& n) {
        token(1);
        u32(uint32_t(n.size()));
        s += n;
    }
    void string(const std::string& n) {
        token(2);
        u32(uint32_t(n.size()));
        s += n;
        u32(20);
    }
    void ints(std::initializer_list<uint32_t> v) {
        token(6);
        u32(uint32_t(v.size()));
        for (uint32_t x : v)
            u32(x);
    }
    void floats(std::initializer_list<float> v) {
        token(7);
        u32(uint32_t(v.size()));
        for (float x : v)
            s.append(reinterpret_cast<char*>(&x), 4);
    }
    void open() { token(10); }
    void close() { token(11); }
};

} // namespace

TEST(XFileReader, TextFileGivesFramesMeshesMaterialsAndAnimations) {
    XModel m;
    ASSERT_EQ(load(m, kTextModel), "");
    ASSERT_EQ(m.frames.size(), 4u);
    EXPECT_EQ(m.frames[0]->name, "MASTER_FRAME");
    EXPECT_EQ(m.frames[1]->name, "Body");
    EXPECT_EQ(m.frames[2]->name, "Arm");
    EXPECT_EQ(m.frames[2]->parent, m.frames[1].get());
    EXPECT_EQ(m.frames[3]->parent, m.frames[1].get());
    EXPECT_FLOAT_EQ(m.frames[1]->local[1][3], 2.0f);
    EXPECT_EQ(m.frames[3]->local, glm::mat4(1)) << "a frame without a matrix stays identity";

    ASSERT_EQ(m.meshes.size(), 1u);
    const XMesh& mesh = *m.meshes[0];
    EXPECT_EQ(mesh.frame, m.frames[2].get());
    EXPECT_EQ(mesh.name, "ArmMesh");
    // Face 0 uses material 2 (the referenced Cloth), face 1 material 0; material 1 has no
    // faces and is dropped. Subsets follow material order.
    ASSERT_EQ(mesh.materials.size(), 2u);
    EXPECT_EQ(mesh.materials[0].texturePath, "File\\XFile\\Skin.bmp");
    EXPECT_EQ(mesh.materials[1].texturePath, "File\\XFile\\Hair\\Hair_11.bmp");
    EXPECT_FLOAT_EQ(mesh.materials[1].def.diffuse.g, 1.0f);
    EXPECT_EQ(mesh.materials[0].firstIndex, 0u);
    EXPECT_EQ(mesh.materials[1].firstIndex, 3u);
    EXPECT_EQ(mesh.materials[1].primitiveCount, 1u);
    EXPECT_EQ(mesh.mesh.vertices[0].uv, glm::vec2(0, 0));
    // Normals are recomputed from the faces (the file's point the other way).
    EXPECT_NEAR(mesh.mesh.vertices[0].normal.z, 1.0f, 1e-5f);

    ASSERT_EQ(m.animations.size(), 2u);
    EXPECT_EQ(m.frames[2]->animation, m.animations[0].get());
    EXPECT_EQ(m.animations[0]->positionKeys.size(), 2u);
    EXPECT_EQ(m.frames[3]->animation, m.animations[1].get()) << "unknown key types still bind";
    EXPECT_TRUE(m.animations[1]->rotationKeys.empty() && m.animations[1]->matrixKeys.empty());
}

TEST(XFileReader, BinaryFileReadsLikeText) {
    BinaryX b;
    b.name("Frame");
    b.name("Root");
    b.open();
    b.name("FrameTransformMatrix");
    b.open();
    b.floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1});
    b.close();
    b.name("Mesh");
    b.open();
    b.ints({3});
    b.floats({0, 0, 0, 0, 1, 0, 1, 0, 0});
    b.ints({1, 3, 0, 1, 2});
    b.name("MeshMaterialList");
    b.open();
    b.ints({1, 1, 0});
    b.name("Material");
    b.open();
    b.floats({1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0});
    b.name("TextureFilename");
    b.open();
    b.string("Red.bmp");
    b.close();
    b.close();
    b.close();
    b.close();
    b.close();
    b.name("AnimationSet");
    b.open();
    b.name("Animation");
    b.open();
    b.open();
    b.name("Root");
    b.close();
    b.name("AnimationKey");
    b.open();
    b.ints({4, 1, 0, 16});
    b.floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1});
    b.close();
    b.close();
    b.close();

    XModel m;
    ASSERT_EQ(load(m, b.s), "");
    ASSERT_EQ(m.frames.size(), 2u);
    EXPECT_EQ(m.frames[1]->name, "Root");
    EXPECT_FLOAT_EQ(m.frames[1]->local[2][3], 7.0f);
    ASSERT_EQ(m.meshes.size(), 1u);
    EXPECT_EQ(m.meshes[0]->mesh.indices.size(), 3u);
    EXPECT_EQ(m.meshes[0]->materials[0].texturePath, "File\\XFile\\Red.bmp");
    ASSERT_EQ(m.animations.size(), 1u);
    EXPECT_EQ(m.frames[1]->animation, m.animations[0].get());
    EXPECT_FLOAT_EQ(m.animations[0]->matrixKeys[0].m[1][3], 2.0f);
}

TEST(XFileReader, TopLevelMeshHangsOnTheMasterFrame) {
    XModel m;
    ASSERT_EQ(load(m, "xof 0303txt 0032 Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; }"), "");
    ASSERT_EQ(m.meshes.size(), 1u);
    EXPECT_EQ(m.meshes[0]->frame, m.frames[0].get());
    m.computePose(3, 0);
    EXPECT_EQ(m.frames[0]->poses[3], glm::mat4(1));
}

TEST(XFileReader, AnimationBindsEveryFrameOfItsName) {
    XModel m;
    ASSERT_EQ(load(m,
                   "xof 0302txt 0032 Frame A { Frame Twin {} } Frame Twin {}"
                   "AnimationSet { Animation { { Twin } AnimationKey { 2; 1; 0;3;1,1,1;;; } } }"),
              "");
    ASSERT_EQ(m.frames.size(), 4u);
    EXPECT_EQ(m.frames[2]->animation, m.animations[0].get());
    EXPECT_EQ(m.frames[3]->animation, m.animations[0].get());
}

TEST(XFileReader, MalformedFilesAreRefusedWithTheLoadersTexts) {
    const std::string enumFail = enumerationFailedText();
    const std::string meshFail = meshUnreadableText();
    struct Case {
        const char* what;
        std::string bytes;
        std::string expected;
    };
    std::string deep = "xof 0302txt 0032 ";
    for (int i = 0; i < 200; ++i)
        deep += "Frame {";
    const Case cases[] = {
        {"empty file", "", enumFail},
        {"wrong magic", "xyz 0302txt 0032 Frame {}", enumFail},
        {"compressed encoding", "xof 0302tzip0032 ....", enumFail},
        {"unterminated object", "xof 0302txt 0032 Frame A { Frame B {", enumFail},
        {"stray brace", "xof 0302txt 0032 }", enumFail},
        {"unterminated string", "xof 0302txt 0032 Frame { \"abc }", enumFail},
        {"nesting too deep", deep, enumFail},
        {"short matrix", "xof 0302txt 0032 Frame { FrameTransformMatrix { 1,2,3;; } }", enumFail},
        {"face index out of range",
         "xof 0302txt 0032 Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,9;; }", meshFail},
        {"vertex count beyond the data",
         "xof 0302txt 0032 Mesh { 4000000000; 0;0;0;; 1; 3;0,0,0;; }", meshFail},
        {"negative count", "xof 0302txt 0032 Mesh { -3; 0;0;0;; }", meshFail},
        {"mesh without faces", "xof 0302txt 0032 Mesh { 1; 0;0;0;; 0;; }", meshFail},
        {"material index beyond the list",
         "xof 0302txt 0032 Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; "
         "MeshMaterialList { 1; 1; 4;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } } }",
         meshFail},
        {"key count beyond the data",
         "xof 0302txt 0032 AnimationSet { Animation { AnimationKey { 0; 99; 0;4;1,0,0,0;;; } } }",
         enumFail},
    };
    for (const Case& c : cases) {
        XModel m;
        EXPECT_EQ(load(m, c.bytes), c.expected) << c.what;
    }

    BinaryX truncated;
    truncated.name("Frame");
    truncated.open();
    truncated.token(7);
    truncated.u32(1000); // a float list longer than the file
    XModel m;
    EXPECT_EQ(load(m, truncated.s), enumFail);
}

TEST(XFileReader, MissingFileFailsLikeAnInvalidOne) {
    XModel m;
    EXPECT_EQ(m.load("File\\XFile\\NoSuchModel.x"), enumerationFailedText());
    EXPECT_EQ(m.frames.size(), 1u) << "the master frame exists before reading";
}
