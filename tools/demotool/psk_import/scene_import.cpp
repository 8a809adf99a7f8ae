#include "psk_import.h"

#include "file_io.h"
#include "import_context.h"
#include "light_placement.h"
#include "node_conversion.h"
#include "tool_error.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cctype>
#include <ostream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr unsigned kPostProcessing = aiProcess_Triangulate | aiProcess_JoinIdenticalVertices |
                                     aiProcess_GenSmoothNormals | aiProcess_SortByPType | aiProcess_TransformUVCoords |
                                     aiProcess_GenUVCoords | aiProcess_ValidateDataStructure;

// The readers differ in how they fill cameras and lights; the extension says which one ran.
SourceKind sourceKind(const fs::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".gltf" || extension == ".glb")
        return SourceKind::Gltf;
    return extension == ".3ds" ? SourceKind::ThreeDs : SourceKind::Other;
}

void chooseAnimation(ImportContext& context)
{
    const aiScene& scene = context.scene;
    for (unsigned a = 0; a < scene.mNumAnimations; ++a) {
        const aiAnimation& animation = *scene.mAnimations[a];
        const std::string user = "animation " + quotedName(animation.mName.length ? animation.mName.C_Str() : std::to_string(a));
        if (animation.mNumMeshChannels > 0 || animation.mNumMorphMeshChannels > 0)
            context.notes.note(user, "vertex and morph channels dropped");
        if (context.animation) {
            context.notes.note(user, "dropped (a scene plays one animation; the first is kept)");
            continue;
        }
        if (animation.mNumChannels == 0)
            continue;
        context.animation = &animation;
        context.clock = sampleClockFor(animation, context.options.fps);
        if (!context.clock) {
            context.notes.note(user, "lasts no time; nodes keep their places at rest");
            continue;
        }
        for (unsigned c = 0; c < animation.mNumChannels; ++c)
            context.channels[animation.mChannels[c]->mNodeName.C_Str()] = animation.mChannels[c];
    }
}

fs::path absoluteFolder(const fs::path& folder)
{
    std::error_code error;
    const fs::path absolute = fs::absolute(folder.empty() ? fs::path(".") : folder, error);
    return (error ? folder : absolute).lexically_normal();
}

} // namespace

PskImportSummary importSceneToPsk(const PskImportOptions& options, std::ostream* notesOut)
{
    const std::string input = options.input.string();
    std::error_code error;
    if (!fs::is_regular_file(options.input, error))
        throw ToolError(input + ": no such file");
    Assimp::Importer importer;
    importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_PRESERVE_PIVOTS, false);
    const aiScene* scene = importer.ReadFile(input, kPostProcessing);
    if (!scene || !scene->mRootNode)
        throw ToolError(input + ": cannot be read: " + importer.GetErrorString());

    const fs::path outputFolder = absoluteFolder(options.output.parent_path());
    const fs::path texturesFolder = options.texturesDir ? absoluteFolder(*options.texturesDir) : outputFolder;
    fs::create_directories(texturesFolder, error);
    if (error)
        throw ToolError(texturesFolder.string() + ": " + error.message());

    ImportContext context(*scene, options, sourceKind(options.input), outputFolder, texturesFolder);
    chooseAnimation(context);
    // One top-level node, since the player's root is the file's last top-level node; the
    // lights hang on it in world space.
    context.rootIndex = context.builder.newIndex();
    const std::string rootName = context.uniqueNodeName(options.output.stem().string());
    context.builder.add(PskSceneBuilder::Section::Nodes, 2, context.rootIndex,
                        PskGroup{makeNodeRecord(-1, rootName, PskTransform{})});
    ++context.summary.nodes;
    convertNodeTree(context, *scene->mRootNode, static_cast<std::int32_t>(context.rootIndex));
    placeLights(context);

    if (notesOut)
        for (const std::string& line : context.notes.lines())
            *notesOut << "demotool: " << input << ": " << line << '\n';
    if (context.summary.meshes == 0 && context.summary.cameras == 0 && context.summary.lights == 0)
        throw ToolError(input + ": nothing usable (no mesh, camera or light)");
    std::vector<std::uint8_t> bytes;
    try {
        bytes = context.builder.bytes();
    } catch (const std::exception& error) {
        // More sub-meshes or a longer string than the format's counts can say.
        throw ToolError(input + ": too large for a scene file (" + error.what() + ")");
    }
    writeFileAtomically(options.output, bytes);
    context.summary.textures = context.textures.written();
    context.summary.notes = context.notes.lines();
    return context.summary;
}
