#pragma once
// Frame scripts: the timeline actions the player carries out (stop, play, the gotos), the
// values, variables and expressions that decide them (so that a preloader finds the movie
// loaded, and a counter counts), and every other action kept only as a stack effect the player
// does not model.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace player {

class CSwfReader;
class IActionTarget;

enum class EActionOp : uint8_t {
    Stop, Play, NextFrame, PrevFrame, GotoFrame, GotoLabel, GotoFrame2, SetTarget, SetTarget2,
    Push, Pop, ConstantPool, Jump, If, StoreRegister,
    Value,  // an expression, variable or call action, told apart by nCode
    Other,
};

struct CActionValue {
    // Constant and Register are what Push reads; running, they become the value they name.
    // A Target is a timeline, valid while the script that made it runs.
    enum class EType : uint8_t { Undefined, Number, String, Constant, Register, Target } eType = EType::Undefined;
    double fNumber = 0;
    std::string strValue;
    uint16_t nConstant = 0;  // Constant: index into the pool; Register: its number
    IActionTarget* pTarget = nullptr;
};

struct CAction {
    EActionOp eOp = EActionOp::Other;
    uint32_t nOffset = 0;       // byte offset of the action in its script
    uint32_t nNextOffset = 0;
    uint8_t nCode = 0;          // the action code
    int32_t nArg = 0;           // frame (0-based) for GotoFrame, branch offset for Jump and If,
                                // register for StoreRegister
    bool bPlay = false;         // GotoFrame2
    uint16_t nSceneBias = 0;    // GotoFrame2
    std::string strArg;         // label or target
    std::vector<CActionValue> values;      // Push
    std::vector<std::string> constants;    // ConstantPool
};

using CActionScript = std::vector<CAction>;

// Names in scripts (labels, instance names, properties, methods) compare without regard to
// the case of ASCII letters, as in the format's players.
bool SameName(std::string_view a, std::string_view b);

// Reads action records up to ActionEndFlag or the end of the data; unknown actions are
// skipped by their length.
CActionScript ParseActions(CSwfReader& r);

// What a script asks of the timeline it runs on.
class IActionTarget {
public:
    virtual ~IActionTarget() = default;
    virtual void ActionStop() = 0;
    virtual void ActionPlay() = 0;
    virtual void ActionGotoFrame(int32_t nFrame, bool bPlay) = 0;  // 0-based
    virtual bool ActionGotoLabel(const std::string& label, bool bPlay) = 0;
    virtual void ActionStep(int nDelta) = 0;  // NextFrame / PrevFrame: go and stop
    virtual int32_t CurrentFrame() const = 0;
    virtual uint32_t TotalFrames() const = 0;
    // The movie's size in bytes: all of it is loaded before it plays.
    virtual uint32_t BytesTotal() const = 0;
    // The timeline a SetTarget path names, or null when it names none the player knows.
    virtual IActionTarget* ResolveTarget(const std::string& path) = 0;
    // The timeline's variable of that name, or null when it has none.
    virtual const CActionValue* Variable(const std::string& name) const = 0;
    // Sets it, unless the movie's variables have no room left for it. Timelines are not kept
    // in variables (one may leave the display while the value lives on): they store undefined.
    virtual void SetVariable(const std::string& name, const CActionValue& value) = 0;
};

// Runs a script against a timeline, taking its steps from nStepBudget, which all scripts of a
// tick share, so that neither a backward jump nor scripts that keep jumping to each other's
// frames can hang the player. A goto costs GOTO_STEPS, as it may replay a timeline.
constexpr size_t GOTO_STEPS = 1000;
void RunActions(const CActionScript& script, IActionTarget& root, size_t& nStepBudget);

}  // namespace player
