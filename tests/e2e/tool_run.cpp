#include "tests/e2e/tool_run.h"

#include <fstream>
#include <iterator>

#include "tests/e2e/stand_ins.h"
#include "tests/e2e/tool_runner.h"

namespace e2e {
namespace {

// Names inside the run directory; the scenario names its output files
// relative to the tool's current directory.
constexpr char ScenarioFile[] = "scenario.json";
constexpr char TraceFile[] = "trace.jsonl";
constexpr char FlashFile[] = "flash.bin";
constexpr char InputFile[] = "stdin.txt";
constexpr char OutputFile[] = "stdout.txt";
constexpr char ErrorFile[] = "stderr.txt";

void WriteFile(const std::filesystem::path& path, const void* bytes, size_t size) {
  std::ofstream(path, std::ios::binary).write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<nlohmann::json> ReadTrace(const std::filesystem::path& path) {
  std::vector<nlohmann::json> trace;
  std::ifstream file(path);
  for (std::string line; std::getline(file, line);) {
    if (!line.empty()) {
      trace.push_back(nlohmann::json::parse(line));
    }
  }
  return trace;
}

void PlaceFile(const std::filesystem::path& directory, const PlacedFile& file) {
  const std::filesystem::path path = directory / file.name;
  WriteFile(path, file.bytes.data(), file.bytes.size());
  using std::filesystem::perms;
  if (file.readOnly || file.unreadable) {
    perms permissions = file.readOnly ? perms::none : perms::owner_write;
    if (!file.unreadable) {
      permissions |= perms::owner_read | perms::group_read | perms::others_read;
    }
    std::filesystem::permissions(path, permissions);
  }
}

} // namespace

ToolResult RunTool(const ToolRun& run) {
  const ToolRunner& runner = SelectedRunner();
  ToolResult result;
  result.directory = std::make_unique<RunDirectory>();
  const std::filesystem::path& root = result.directory->Path();

  Invocation invocation;
  invocation.arguments = run.arguments;
  invocation.workDirectory = root / run.directory;
  std::filesystem::create_directories(invocation.workDirectory);
  invocation.libraryDirectory = runner.LibraryDirectory(root);
  invocation.scenario = root / ScenarioFile;
  invocation.input = root / InputFile;
  invocation.output = root / OutputFile;
  invocation.errors = root / ErrorFile;

  nlohmann::json scenario = run.scenario;
  scenario["trace"] = TraceFile;
  scenario["flash_out"] = FlashFile;
  const std::string scenarioText = scenario.dump(2);
  WriteFile(invocation.scenario, scenarioText.data(), scenarioText.size());
  WriteFile(invocation.input, run.input.data(), run.input.size());
  for (const PlacedFile& file : run.files) {
    PlaceFile(invocation.workDirectory, file);
  }
  StageStandIns(runner, run.standIns, invocation.workDirectory, invocation.libraryDirectory);

  const Completion completion = runner.Run(invocation);
  result.exitStatus = completion.exitStatus;
  result.finished = completion.finished;
  result.inputConsumed = completion.inputConsumed;
  result.output = ReadFile(invocation.output);
  result.errors = ReadFile(invocation.errors);
  result.trace = ReadTrace(invocation.workDirectory / TraceFile);
  const std::string flash = ReadFile(invocation.workDirectory / FlashFile);
  result.flash.assign(flash.begin(), flash.end());
  return result;
}

} // namespace e2e
