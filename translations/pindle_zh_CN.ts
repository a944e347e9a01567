<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>Pindle</name>
    <message>
        <source>Cleaned 1 photo</source>
        <translation>已清理 1 张照片</translation>
    </message>
    <message>
        <source>Cleaned %d photos</source>
        <translation>已清理 %d 张照片</translation>
    </message>
    <message>
        <source>Restored 1 photo</source>
        <translation>已恢复 1 张照片</translation>
    </message>
    <message>
        <source>Restored %d photos</source>
        <translation>已恢复 %d 张照片</translation>
    </message>
    <message>
        <source>Deleted 1 photo</source>
        <translation>已删除 1 张照片</translation>
    </message>
    <message>
        <source>Deleted %d photos</source>
        <translation>已删除 %d 张照片</translation>
    </message>
    <message>
        <source>1 similar photo</source>
        <translation>1 张相似照片</translation>
    </message>
    <message>
        <source>%d similar photos</source>
        <translation>%d 张相似照片</translation>
    </message>
    <message>
        <source>Clean up 1 more photo</source>
        <translation>清理其余 1 张</translation>
    </message>
    <message>
        <source>Clean up %d more photos</source>
        <translation>清理其余 %d 张</translation>
    </message>
    <message>
        <source>Keep the best; move 1 photo to Recently Deleted</source>
        <translation>保留最佳，将 1 张移到「最近删除」</translation>
    </message>
    <message>
        <source>Keep the best; move %d photos to Recently Deleted</source>
        <translation>保留最佳，将 %d 张移到「最近删除」</translation>
    </message>
    <message>
        <source>Keep the best; move 1 photo to the Trash</source>
        <translation>保留最佳，将 1 张移到废纸篓</translation>
    </message>
    <message>
        <source>Keep the best; move %d photos to the Trash</source>
        <translation>保留最佳，将 %d 张移到废纸篓</translation>
    </message>
    <message>
        <source>Move 1 photo to Recently Deleted</source>
        <translation>将 1 张照片移到「最近删除」</translation>
    </message>
    <message>
        <source>Move %d photos to Recently Deleted</source>
        <translation>将 %d 张照片移到「最近删除」</translation>
    </message>
    <message>
        <source>1 group</source>
        <translation>1 组</translation>
    </message>
    <message>
        <source>%d groups</source>
        <translation>%d 组</translation>
    </message>
    <message>
        <source>1 photo</source>
        <translation>1 张照片</translation>
    </message>
    <message>
        <source>%d photos</source>
        <translation>%d 张照片</translation>
    </message>
    <message>
        <source>library.denied.message</source>
        <translation>Pindle 还没有拿到「照片」图库的访问权限，所以暂时读不到图库里的照片。允许访问后点「重试」，或者改用文件夹扫描。</translation>
    </message>
    <message>
        <source>error.folder.empty.title</source>
        <translation>文件夹里没有可分析的照片</translation>
    </message>
    <message>
        <source>error.folder.empty.message</source>
        <translation>在 %@ 里没有找到可以分析的照片。可以换一个放着照片的文件夹再试。</translation>
    </message>
    <message>
        <source>error.folder.unreadable.message</source>
        <translation>Pindle 没能读取 %@。请确认这个文件夹还在，并且当前用户有读取权限，然后重试。</translation>
    </message>
    <message>
        <source>「照片」App 图库 · 未下载的 iCloud 原图会先下载，单张可能比较慢</source>
        <translation>「照片」图库</translation>
    </message>
    <message>
        <source>图库里没有找到可以分析的照片。请确认「照片」App 已经同步照片，或者改用文件夹扫描。</source>
        <translation>图库里没有找到可以分析的照片。请确认图库文件夹里已经有照片，或者改用文件夹扫描。</translation>
    </message>
    <message>
        <source>图库里有照片读取失败，可能是 iCloud 原图还没有下载到本机。可以稍后重试。</source>
        <translation>图库里有照片读取失败。可以稍后重试。</translation>
    </message>
    <message>
        <source>Pindle 需要 macOS 15 或更高版本的 Apple Vision 美学模型。请升级系统后重试。</source>
        <translation>Pindle 自带的美学分析没能启动，安装可能不完整。请重新安装 Pindle 后重试；如果问题还在，可以在「关于」里导出诊断信息并联系开发者。</translation>
    </message>
    <message>
        <source>请在「系统设置 › 隐私与安全性 › 文件和文件夹」中允许 Pindle 访问这个文件夹。</source>
        <translation>请在文件管理器里检查这个文件夹的权限，允许当前用户读取后重试。</translation>
    </message>
    <message>
        <source>%@，30 天内可在「照片」App 恢复</source>
        <translation>%@，照片文件会一直留在图库文件夹里</translation>
    </message>
    <message>
        <source>已移入「照片」App 的「最近删除」</source>
        <translation>已移入图库的「最近删除」</translation>
    </message>
    <message>
        <source>图库来源需要「照片」App 的完整访问权限。</source>
        <translation>图库来源需要「照片」图库的完整访问权限。</translation>
    </message>
    <message>
        <source>打开「照片」权限设置</source>
        <translation>打开图库权限设置</translation>
    </message>
    <message>
        <source>扫描「照片」App 图库（菜单「文件」里也有）</source>
        <translation>扫描「照片」图库（菜单「文件」里也有）</translation>
    </message>
    <message>
        <source>选择一个文件夹，自动分析其中的照片（⌘O）</source>
        <translation>选择一个文件夹，自动分析其中的照片（Ctrl+O）</translation>
    </message>
    <message>
        <source>重新分析当前文件夹（⌘R）</source>
        <translation>重新分析当前文件夹（Ctrl+R）</translation>
    </message>
    <message>
        <source>「照片」App 图库</source>
        <translation>「照片」图库</translation>
    </message>
    <message>
        <source>照片来自「照片」App 图库，删除会进入「最近删除」</source>
        <translation>照片来自「照片」图库，删除会进入「最近删除」</translation>
    </message>
    <message>
        <source>选一个照片文件夹，或直接扫描「照片」App 图库；相似分组与美学打分都在本机完成。</source>
        <translation>选一个照片文件夹，或直接扫描「照片」图库；相似分组与美学打分都在本机完成。</translation>
    </message>
    <message>
        <source>Apple Vision 美学打分，0–10 分一眼看懂</source>
        <translation>本机美学打分，0–10 分一眼看懂</translation>
    </message>
    <message>
        <source>也能整理「照片」App 图库，删除进「最近删除」</source>
        <translation>也能整理「照片」图库，删除进「最近删除」</translation>
    </message>
    <message>
        <source>文件夹照片移到废纸篓，可在 Finder 中恢复</source>
        <translation>文件夹照片移到废纸篓，可在文件管理器中恢复</translation>
    </message>
    <message>
        <source>有照片没有移到废纸篓</source>
        <translation>有照片没有移到废纸篓</translation>
    </message>
    <message>
        <source>「%@」在扫描之后被改动或换成了别的文件，为了不误删，它留在了原处。重新扫描后可以再处理。</source>
        <translation>「%@」在扫描之后被改动或换成了别的文件，为了不误删，它留在了原处。重新扫描后可以再处理。</translation>
    </message>
    <message>
        <source>有 %@ 张照片在扫描之后被改动或换成了别的文件，为了不误删，它们留在了原处：%@。重新扫描后可以再处理。</source>
        <translation>有 %@ 张照片在扫描之后被改动或换成了别的文件，为了不误删，它们留在了原处：%@。重新扫描后可以再处理。</translation>
    </message>
    <message>
        <source>清理「%@」时，另一个程序在它的名字下存了别的文件，那个文件没能放回原处，已移到废纸篓；照片本身没有被移动。原处的名字空着时，点“撤销”可以把那个文件放回。</source>
        <translation>清理「%@」时，另一个程序在它的名字下存了别的文件，那个文件没能放回原处，已移到废纸篓；照片本身没有被移动。原处的名字空着时，点“撤销”可以把那个文件放回。</translation>
    </message>
    <message>
        <source>清理时，另一个程序在 %@ 张照片的名字下存了别的文件：%@。这些文件没能放回原处，已移到废纸篓；照片本身没有被移动。原处的名字空着时，点“撤销”可以把它们放回。</source>
        <translation>清理时，另一个程序在 %@ 张照片的名字下存了别的文件：%@。这些文件没能放回原处，已移到废纸篓；照片本身没有被移动。原处的名字空着时，点“撤销”可以把它们放回。</translation>
    </message>

    <!-- shell: window, menus, appearance, components -->
    <!-- end shell -->

    <!-- screens: phase screens and undo toast -->
    <message>
        <source>图库里没有找到可以分析的照片。请确认「照片」App 已经同步照片，或者改用文件夹整理。</source>
        <translation>图库里没有找到可以分析的照片。请确认图库文件夹里已经有照片，或者改用文件夹整理。</translation>
    </message>
    <message>
        <source>打开「照片」App</source>
        <translation>打开图库文件夹</translation>
    </message>
    <!-- end screens -->

    <!-- root: root view, header and controls bars -->
    <!-- end root -->

    <!-- results: group card, summary bar, grid -->
    <message>
        <source>在访达中显示最佳照片</source>
        <translation>在文件管理器中显示最佳照片</translation>
    </message>
    <message>
        <source>用「预览」打开最佳照片</source>
        <translation>用默认应用打开最佳照片</translation>
    </message>
    <message>
        <source>移入废纸篓，可在 Finder 中恢复</source>
        <translation>移入废纸篓，可在文件管理器中恢复</translation>
    </message>
    <message>
        <source>进入「照片」App 的「最近删除」，30 天内可恢复</source>
        <translation>进入图库的「最近删除」，照片文件会一直留在图库文件夹里</translation>
    </message>
    <message>
        <source>会保留得分最高的「%@」，其余 %@ 张移到废纸篓。之后可以在 Finder 的废纸篓里恢复。</source>
        <translation>会保留得分最高的「%@」，其余 %@ 张移到废纸篓。之后可以在文件管理器的废纸篓里恢复。</translation>
    </message>
    <message>
        <source>会保留得分最高的「%@」，其余 %@ 张进入「照片」App 的「最近删除」，30 天内可以恢复。</source>
        <translation>会保留得分最高的「%@」，其余 %@ 张进入图库的「最近删除」，照片文件会一直留在图库文件夹里。</translation>
    </message>
    <message>
        <source>清理的照片移到废纸篓，可在 Finder 中恢复</source>
        <translation>清理的照片移到废纸篓，可在文件管理器中恢复</translation>
    </message>
    <message>
        <source>清理的照片进入「照片」App 的「最近删除」，30 天内可恢复</source>
        <translation>清理的照片进入图库的「最近删除」，照片文件会一直留在图库文件夹里</translation>
    </message>
    <message>
        <source>跳过 %@ 张未分析（iCloud 原图未下载、损坏或过小）</source>
        <translation>跳过 %@ 张未分析（损坏或过小）</translation>
    </message>
    <message>
        <source>批量选择多个相似组（⌘A 全选、Esc 退出、⌫ 清理）</source>
        <translation>批量选择多个相似组（Ctrl+A 全选、Esc 退出、⌫ 清理）</translation>
    </message>
    <message>
        <source>保留每组 1 张最佳，其余移入废纸篓，可在 Finder 中恢复</source>
        <translation>保留每组 1 张最佳，其余移入废纸篓，可在文件管理器中恢复</translation>
    </message>
    <message>
        <source>保留每组 1 张最佳，其余进「照片」App 的「最近删除」，30 天内可恢复</source>
        <translation>保留每组 1 张最佳，其余进图库的「最近删除」，照片文件会一直留在图库文件夹里</translation>
    </message>
    <message>
        <source>%@ · %@ reclaimable</source>
        <translation>%@ · 可释放 %@</translation>
    </message>
    <message>
        <source>%@ · %@ to move to Recently Deleted</source>
        <translation>%@ · %@ 可移入「最近删除」</translation>
    </message>
    <message>
        <source>%@ · %@ to clean up</source>
        <translation>%@ · 待清理 %@</translation>
    </message>
    <message>
        <source>%@ · %@ to clean up · %@ freed</source>
        <translation>%@ · 待清理 %@ · 可释放 %@</translation>
    </message>
    <message>
        <source>Will clean up %@ (keeping the best one in each group).
%@</source>
        <translation>将清理 %@（每组保留最佳的一张）。
%@</translation>
    </message>
    <!-- end results -->

    <!-- detail: group detail and preview -->
    <message>
        <source>reason.cardTitle</source>
        <translation>为什么选它：%@</translation>
    </message>
    <message>
        <source>删除会进入 Finder 废纸篓，可恢复</source>
        <translation>删除会进入废纸篓，可在文件管理器里恢复</translation>
    </message>
    <message>
        <source>删除会进入「最近删除」，30 天内可恢复</source>
        <translation>删除会进入图库的「最近删除」，照片文件会一直留在图库文件夹里</translation>
    </message>
    <message>
        <source>删除后可在 Finder 废纸篓恢复</source>
        <translation>删除后可在文件管理器的废纸篓里恢复</translation>
    </message>
    <message>
        <source>删除后 30 天内可在「最近删除」恢复</source>
        <translation>删除后照片文件会一直留在图库文件夹里</translation>
    </message>
    <message>
        <source>移入照片 App 的最近删除</source>
        <translation>移入图库的最近删除</translation>
    </message>
    <message>
        <source>会保留「%@」，其余 %@ 张移到废纸篓，之后可以在 Finder 的废纸篓里恢复。</source>
        <translation>会保留「%@」，其余 %@ 张移到废纸篓，之后可以在文件管理器的废纸篓里恢复。</translation>
    </message>
    <message>
        <source>会保留「%@」，其余 %@ 张进入「照片」App 的「最近删除」，30 天内可以恢复。</source>
        <translation>会保留「%@」，其余 %@ 张进入图库的「最近删除」，照片文件会一直留在图库文件夹里。</translation>
    </message>
    <message>
        <source>「%@」会移到废纸篓，可以在 Finder 里恢复。</source>
        <translation>「%@」会移到废纸篓，可以在文件管理器里恢复。</translation>
    </message>
    <message>
        <source>「%@」会进入「照片」App 的「最近删除」，30 天内可以恢复。</source>
        <translation>「%@」会进入图库的「最近删除」，照片文件会一直留在图库文件夹里。</translation>
    </message>
    <message>
        <source>收藏（图库来源会写回「照片」App）</source>
        <translation>收藏（图库来源会写回图库）</translation>
    </message>
    <message>
        <source>这张照片读不出来（iCloud 原图可能还没下载完）</source>
        <translation>这张照片读不出来</translation>
    </message>
    <!-- end detail -->

    <!-- info: info center -->
    <message>
        <source>help.shortcuts.title</source>
        <translation>键盘快捷键</translation>
    </message>
    <message>
        <source>help.sc.chooseFolder</source>
        <translation>选择照片文件夹并开始扫描</translation>
    </message>
    <message>
        <source>help.sc.openLibrary</source>
        <translation>扫描「照片」图库</translation>
    </message>
    <message>
        <source>help.sc.rescan</source>
        <translation>重新扫描当前文件夹或图库</translation>
    </message>
    <message>
        <source>help.sc.gridMove</source>
        <translation>在结果网格里移动焦点；在分组详情里逐张移动</translation>
    </message>
    <message>
        <source>help.sc.gridJump</source>
        <translation>跳到第一组或最后一组；向上或向下翻三行</translation>
    </message>
    <message>
        <source>help.sc.monthJump</source>
        <translation>按日期排序时跳到上一个月或下一个月</translation>
    </message>
    <message>
        <source>help.sc.return</source>
        <translation>打开焦点所在的分组；在详情里全屏预览焦点照片</translation>
    </message>
    <message>
        <source>help.sc.space</source>
        <translation>多选时选中或取消焦点分组；在详情里收藏或取消收藏焦点照片</translation>
    </message>
    <message>
        <source>help.sc.delete</source>
        <translation>在详情里删除焦点照片；多选时清理所选分组（都会先确认）</translation>
    </message>
    <message>
        <source>help.sc.esc</source>
        <translation>退出多选；关闭分组详情或照片预览</translation>
    </message>
    <message>
        <source>help.sc.selectAll</source>
        <translation>多选时选中全部分组</translation>
    </message>
    <message>
        <source>help.sc.previewStep</source>
        <translation>预览时切换到上一张或下一张，首尾循环</translation>
    </message>
    <message>
        <source>help.sc.previewFavorite</source>
        <translation>预览时收藏或取消收藏当前照片</translation>
    </message>
    <message>
        <source>help.sc.help</source>
        <translation>打开帮助与隐私</translation>
    </message>
    <message>
        <source>help.privacy.title</source>
        <translation>照片不会离开这台电脑</translation>
    </message>
    <message>
        <source>help.privacy.p1</source>
        <translation>所有分组与打分都由 Pindle 自带的图像分析在本机完成，不上传、不联网、不需要账号。</translation>
    </message>
    <message>
        <source>help.delete.p1</source>
        <translation>文件夹来源：移入废纸篓，可在文件管理器的废纸篓里还原，清理后 6 秒内也可以点「撤销」。</translation>
    </message>
    <message>
        <source>help.delete.p2</source>
        <translation>「照片」图库来源：照片移入图库的「最近删除」，照片文件会一直留在图库文件夹里，不会被清除；本 App 没有恢复界面，需要时可在图库文件夹里找回原文件。本 App 不会永久删除任何照片。</translation>
    </message>
    <message>
        <source>help.score.p1</source>
        <translation>每张照片的分数来自 Pindle 在本机分析出的「美学」综合分（-1…1），线性映射到 0–10，综合了曝光、对比度、色彩与清晰度。</translation>
    </message>
    <message>
        <source>help.cache.p1</source>
        <translation>分析缓存：%@（约 0.65 KB/张，5 万张约 32 MB），只存特征向量与分数，不存照片。</translation>
    </message>
    <!-- end info -->

    <!-- selftest: UI self-tests -->
    <!-- end selftest -->

</context>
</TS>
