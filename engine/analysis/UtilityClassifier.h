#pragma once

#include "engine/analysis/QualityMeasures.h"
#include "engine/analysis/UtilityModel.h"

#include <array>

/// The utility flag: boosted trees over the measured qualities, fitted offline on screenshots,
/// documents and real photographs from many sources (tools/calibration/train-utility-flag writes
/// the table in UtilityModel.h). Deterministic; a few hundred comparisons per picture.
namespace lumora::utilityclassifier {

/// What the trees read, in the order of `utilitymodel::kFeatureNames`.
using Features = std::array<float, utilitymodel::kFeatureNames.size()>;

/// Every measure in the order of `QualityMeasures::named` but the last five (blankFlat,
/// blankFringe, boxedPanels, lineRhythm and darkLineRhythm, read by hand rules only), then two
/// ratios computed in single precision exactly as the trainer computes them: detail over squared
/// contrast (at least 16 grey levels of contrast) and the share of the detail that sensor noise
/// explains.
[[nodiscard]] Features features(const QualityMeasures &m);

/// The trees' sum in log-odds: the higher, the more the picture looks like a screenshot or a
/// document. Finite for finite features.
[[nodiscard]] double margin(const Features &features);

/// A night photo by a hand rule the trees are not asked about: nearly black, soft and without
/// colour (bounds the trainer writes into UtilityModel.h).
[[nodiscard]] bool isNightPhoto(const QualityMeasures &m);

/// A window by a hand rule the trees are not asked about: grey, nearly every pixel exactly
/// equal to its neighbours, flat panels along all four sides (bounds the trainer writes into
/// UtilityModel.h).
[[nodiscard]] bool isPanelFrame(const QualityMeasures &m);

/// A blank window or page by a hand rule the trees are not asked about: grey, nearly every
/// pixel exact black or white, stepping straight into a few marks rather than fading
/// (bounds the trainer writes into UtilityModel.h).
[[nodiscard]] bool isBlankFrame(const QualityMeasures &m);

/// A small window on an empty desktop by a hand rule the trees are not asked about: nearly
/// every pixel exactly equal to its neighbours, little colour, and a box of flat panels on a
/// one-grey surround (bounds in `kBoxedPanels`, `kBoxedExactFlat`, `kBoxedColourfulness`).
[[nodiscard]] bool isBoxedWindow(const QualityMeasures &m);

/// A page by a hand rule the trees are not asked about: the dark strokes on a pale, neutral
/// patch fall into lines at an even pitch, the patch holds print several blocks across, and some
/// of it reads as letters (bounds in `kLinedRhythm`, `kLinedPrintSpan`, `kLinedLetters`).
[[nodiscard]] bool isLinedPage(const QualityMeasures &m);

/// A dark screen of text by a hand rule the trees are not asked about: the bright strokes on
/// dark ground fall into lines at an even pitch, the frame is dark on the whole and its detail
/// crisp (bounds in `kScreenRhythm`, `kScreenMeanGrey`, `kScreenSharpness`).
[[nodiscard]] bool isDarkScreenText(const QualityMeasures &m);

/// A page by a hand rule the trees are not asked about: a pale, neutral sheet with straight
/// sides lies in a darker scene, and some of the frame reads as letters (bounds in
/// `kSheetShape`, `kSheetLetters`).
[[nodiscard]] bool isSheetInScene(const QualityMeasures &m);

/// Flagged when the margin exceeds `utilitymodel::kMargin`, a bias towards "photo": where a
/// photograph and a document cannot be told apart, the picture counts as a photograph. Panel
/// frames, blank frames, boxed windows, lined pages and dark screens of text are flagged whatever
/// the margin; night photos are never flagged.
[[nodiscard]] bool isUtility(const QualityMeasures &m);

/// How much the picture counts as a document or screenshot, 0…1, for weighing its page layout
/// in the feature vector: 1 for panel and blank frames, else the larger of `windowWeight` and
/// `marginWeight` of the trees' margin (night or not for the window: a dark window's empty
/// desktop looks like a night sky to the night rule; a night photo weighs no margin). A lined
/// page or dark screen of text keeps the weight of its margin: its rule reads the lines alone,
/// and weighing every such page wholly would regroup documents the trees already weigh.
[[nodiscard]] float documentWeight(const QualityMeasures &m);

/// How plainly the frame is a window on an empty desktop, 0…1, from measures a re-save leaves
/// much as they are, unlike the trees' margin: a JPEG copy's smoothing and ringing move the
/// measures of noise, fine detail and exact colours the trees read, and with them the margin
/// by a unit or more, so a copy would weigh its layout otherwise than its original and lie far
/// from it. A box of flat panels on a one-grey surround (`boxedPanels`, which allows a level or
/// two) and the share of the frame exactly flat, which an empty desktop keeps however the file
/// is saved, are read instead: 0 without a box of `kBoxedPanels`, else 1 from `kBoxedExactFlat`
/// of the frame flat and falling evenly to 0 at `kWindowFlatFoot`. Unlike the boxed-window
/// rule it asks for no lack of colour: a coloured icon or button makes a dialog no less a
/// window to be told from another by its layout.
[[nodiscard]] float windowWeight(const QualityMeasures &m);

/// 1 for margins `kDocumentMarginToSpare` or more above the flag's, 0 for margins `kDocumentRamp`
/// less than that, linear in between. A photograph the trees judge close to a document (a render
/// on black, a flat façade) keeps its bursts; the ramp is wide, so a re-saved copy whose margin
/// moves by a fraction of a unit weighs its layout much as its original does, and the two stay
/// close (the weight turns the feature vector, FeaturePrint.h); a document the trees flag with
/// a margin to spare weighs its layout wholly, so its copies stay close however the margin moves.
[[nodiscard]] float marginWeight(double margin);

/// How far above the flag's margin the layout counts wholly, and the band below that over which
/// it comes to count. The ramp reaches below the flag's margin: no photograph of the calibration
/// sets comes within half a unit of its foot.
inline constexpr double kDocumentMarginToSpare = 1.6;
inline constexpr double kDocumentRamp = 2.0;

/// The boxed-window rule's bounds. A dialog on an empty desktop shows a box about half panels
/// (the least of the calibration dialogs a tenth); its icons tint the frame a little, below
/// the colourfulness of any photograph a one-grey ring surrounds. No photograph of the
/// calibration sets gives a box of panels at all.
inline constexpr float kBoxedPanels = 0.08f;
inline constexpr float kBoxedExactFlat = 0.9f;
inline constexpr float kBoxedColourfulness = 16.0f;

/// Where a box of panels stops counting as a window in `windowWeight`: a photograph in a plain
/// mount, whose grain also fills its box with near-panels, leaves less than half the frame
/// exactly flat; the windows of the calibration sets, their JPEG copies down to quality 30
/// included, leave 0.6 of it or more, and a re-save moves the share by a few hundredths.
inline constexpr float kWindowFlatFoot = 0.6f;

/// The lined-page rule's bounds. A page photographed in a scene or a crop of one gives a rhythm
/// of 0.6 or more when its lines are clear; no photograph of the calibration sets whose print
/// spans six blocks comes within 0.1 of that (the closest are rendered textures of regular
/// tiles), and the photographs with a higher rhythm (façades, sand ripples) hold no print.
/// Even rules without letters (blinds, a ruled pad) count as print beside a rule, but leave
/// under a hundredth of the blocks reading as lines of letters; the pages this rule finds show
/// more.
inline constexpr float kLinedRhythm = 0.6f;
inline constexpr float kLinedPrintSpan = 6.0f;
inline constexpr float kLinedLetters = 0.01f;

/// The dark-screen rule's bounds. A terminal or a chat in a dark theme, phone-sized or not,
/// gives a rhythm of 0.5 or more; of the calibration sets' photographs darker than 64 on the
/// whole with a detail of 300 or more, none reaches 0.26. The dim photographs that reach 0.6
/// (a dark flower, night skies) are soft, and the textures that reach 0.77 are brighter on the
/// whole.
inline constexpr float kScreenRhythm = 0.5f;
inline constexpr float kScreenMeanGrey = 64.0f;
inline constexpr float kScreenSharpness = 300.0f;

/// The sheet rule's bounds. A region whose largest inscribed quadrilateral covers less than
/// seven tenths of it is rounder than any four-sided sheet seen at an angle (a disc gives 0.64,
/// a regular hexagon 0.67); of the calibration sets' photographs none whose pale patch lies in
/// the scene as a sheet does reaches 0.67, while photographed pages with their shadows and
/// holes reach 0.7 to 1. Letters keep out pale tiles and panels without print.
inline constexpr float kSheetShape = 0.7f;
inline constexpr float kSheetLetters = 0.01f;

} // namespace lumora::utilityclassifier
