// The layers as CMake links them: the world and everything under it must run on a machine
// without a display or a sound card, so no device library may be linked anywhere below it.
// The graph is written by the build's configuration (cmake/LinkGraph.cmake).
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Graph = std::map<std::string, std::vector<std::string>>;

Graph parse(std::istream& in) {
    Graph g;
    std::string line;
    while (std::getline(in, line)) {
        // "name: dep dep": the name is the first word, without its colon.
        std::istringstream words(line);
        std::string name;
        if (!(words >> name) || name.back() != ':')
            continue;
        name.pop_back();
        std::vector<std::string>& list = g[name];
        for (std::string d; words >> d;)
            list.push_back(d);
    }
    return g;
}

Graph readGraph() {
    std::ifstream in(KV_LINK_GRAPH);
    EXPECT_TRUE(in) << "no link graph at " << KV_LINK_GRAPH;
    return parse(in);
}

// Device libraries and the project's own targets that wrap them.
bool isDevice(const std::string& name) {
    static const std::regex device(
        "(SDL2|EPOXY|OPENAL|FLUIDSYNTH|FREETYPE|FONTCONFIG|GUI_DEPS|imgui|OpenGL|X11|XTEST|FFMPEG|"
        "KV_GEN_FT)",
        std::regex::icase);
    static const std::set<std::string> wrappers = {"kv_gfx",
                                                   "kv_gui",
                                                   "kv_audiodev",
                                                   "kv_audio",
                                                   "kv_input",
                                                   "kv_render",
                                                   "kv_models",
                                                   "kv_title_draw",
                                                   "kv_xtest",
                                                   "kv_loading_dialog",
                                                   "kv_loading_plugs",
                                                   "kv_audio_loads",
                                                   "kv_server_settings_dialog"};
    return wrappers.count(name) || std::regex_search(name, device);
}

// The first device found under `root`, as the chain of links that reaches it; empty if none.
std::string deviceUnder(const Graph& g, const std::string& root) {
    std::map<std::string, std::string> via{{root, ""}};
    std::vector<std::string> todo{root};
    while (!todo.empty()) {
        std::string t = todo.back();
        todo.pop_back();
        auto it = g.find(t);
        if (it == g.end())
            continue;
        for (const std::string& d : it->second) {
            if (via.count(d))
                continue;
            via[d] = t;
            if (isDevice(d)) {
                std::string chain = d;
                for (std::string at = t; !at.empty(); at = via[at])
                    chain = at + " -> " + chain;
                return chain;
            }
            todo.push_back(d);
        }
    }
    return "";
}

std::set<std::string> closure(const Graph& g, const std::string& root) {
    std::set<std::string> seen;
    std::vector<std::string> todo{root};
    while (!todo.empty()) {
        std::string t = todo.back();
        todo.pop_back();
        if (!seen.insert(t).second)
            continue;
        if (auto it = g.find(t); it != g.end())
            todo.insert(todo.end(), it->second.begin(), it->second.end());
    }
    return seen;
}

} // namespace

TEST(Layering, TheWorldTheSimulationAndTheNetworkLinkNoDevice) {
    const Graph g = readGraph();
    for (const char* root : {"kv_world", "kv_sim", "kv_net", "kv_messages", "kv_anim", "kv_xdata",
                             "kv_rules", "kv_state", "kv_data", "kv_platform", "kv_chat",
                             "kv_loading", "kv_practice", "kv_server_settings", "KestravaServer"}) {
        ASSERT_TRUE(g.count(root)) << root << " is not in the link graph";
        EXPECT_EQ(deviceUnder(g, root), "") << root << " links a device library";
    }
}

TEST(Layering, TheCheckFindsADeviceAddedUnderTheWorld) {
    std::istringstream lines("kv_world: kv_warnings kv_sim\n"
                             "kv_sim: kv_data\n"
                             "kv_data: kv_platform\n"
                             "kv_platform: Threads::Threads SDL2::SDL2\n");
    const Graph g = parse(lines);
    EXPECT_EQ(deviceUnder(g, "kv_world"),
              "kv_world -> kv_sim -> kv_data -> kv_platform -> SDL2::SDL2");
    EXPECT_EQ(deviceUnder(g, "kv_sim"), "kv_sim -> kv_data -> kv_platform -> SDL2::SDL2");
}

TEST(Layering, TheEditorsLinkNothingOfTheGame) {
    const Graph g = readGraph();
    for (const char* editor : {"tessaro", "options_editor"}) {
        ASSERT_TRUE(g.count(editor)) << editor << " is not in the link graph";
        const std::set<std::string> linked = closure(g, editor);
        for (const char* game : {"kv_world", "kv_sim", "kv_net", "kv_models", "kv_render",
                                 "kv_audio", "kv_shell", "kv_app"})
            EXPECT_FALSE(linked.count(game)) << editor << " links " << game;
    }
}
