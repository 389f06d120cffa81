<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AWidget</name>
    <message>
        <source>I am A</source>
        <translation>I am A</translation>
    </message>
    <message>
        <source>参数%1:</source>
        <translation>Parameter %1:</translation>
    </message>
</context>
<context>
    <name>AdditionalWidget</name>
    <message>
        <source>日志</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>系统</source>
        <translation>System</translation>
    </message>
    <message>
        <source>登录</source>
        <translation>Login</translation>
    </message>
</context>
<context>
    <name>AverageChart</name>
    <message>
        <source>平均值</source>
        <translation>Average</translation>
    </message>
</context>
<context>
    <name>BWidget</name>
    <message>
        <source>Slice %1:%2</source>
        <translation>Slice %1:%2</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>Blue Cerulean</source>
        <translation>Blue Cerulean</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Dark</translation>
    </message>
    <message>
        <source>Brown Sand</source>
        <translation>Brown Sand</translation>
    </message>
    <message>
        <source>Blue NCS</source>
        <translation>Blue NCS</translation>
    </message>
    <message>
        <source>High Contrast</source>
        <translation>High Contrast</translation>
    </message>
    <message>
        <source>Blue Icy</source>
        <translation>Blue Icy</translation>
    </message>
    <message>
        <source>Qt</source>
        <translation>Qt</translation>
    </message>
    <message>
        <source>No Legend </source>
        <translation>No Legend </translation>
    </message>
    <message>
        <source>Legend Top</source>
        <translation>Legend Top</translation>
    </message>
    <message>
        <source>Legend Bottom</source>
        <translation>Legend Bottom</translation>
    </message>
    <message>
        <source>Legend Left</source>
        <translation>Legend Left</translation>
    </message>
    <message>
        <source>Legend Right</source>
        <translation>Legend Right</translation>
    </message>
    <message>
        <source>Pie chart</source>
        <translation>Pie chart</translation>
    </message>
    <message>
        <source>Spline chart</source>
        <translation>Spline chart</translation>
    </message>
    <message>
        <source>Series %1</source>
        <translation>Series %1</translation>
    </message>
</context>
<context>
    <name>CMessageBox</name>
    <message>
        <source>提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>消息框</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CameraBox</name>
    <message>
        <source>排列</source>
        <translation>layout</translation>
    </message>
    <message>
        <source>监控</source>
        <translation>Monitor</translation>
    </message>
    <message>
        <source>切换到%1%2</source>
        <translation>Switch to %1 %2</translation>
    </message>
    <message>
        <source>%1%2-%1%3</source>
        <translation>%1 %2-%3</translation>
    </message>
</context>
<context>
    <name>CameraDisplay</name>
    <message>
        <source>NG</source>
        <translation>NG</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>UNKNOW</source>
        <translation>UNKNOWN</translation>
    </message>
    <message>
        <source>Unknow</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>通道 %1</source>
        <translation>Channel %1</translation>
    </message>
</context>
<context>
    <name>CameraPanel</name>
    <message>
        <source>画面</source>
        <translation>tiles</translation>
    </message>
    <message>
        <source>摄像头</source>
        <translation>Camera</translation>
    </message>
    <message>
        <source>主菜单：%1  子菜单：%2</source>
        <translation>Main menu: %1  Submenu: %2</translation>
    </message>
</context>
<context>
    <name>CameraParam</name>
    <message>
        <source>参数</source>
        <translation>Params</translation>
    </message>
</context>
<context>
    <name>CaptureWarning</name>
    <message>
        <source>NG 画面已停止保存：%1。可以写入后自动恢复。</source>
        <translation>NG moments are no longer kept: %1. Keeping resumes once writing works again.</translation>
    </message>
</context>
<context>
    <name>ChartPanel</name>
    <message>
        <source>I am Active</source>
        <translation>I am Active</translation>
    </message>
    <message>
        <source>此处不好添加停靠功能，添加的话，会大改</source>
        <translation>Docking is hard to add here: it would take a large rework</translation>
    </message>
    <message>
        <source>日志</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>示例标签</source>
        <translation>Sample tab</translation>
    </message>
</context>
<context>
    <name>FancyTitleBar</name>
    <message>
        <source>Minimize</source>
        <translation>Minimize</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>Maximize</translation>
    </message>
</context>
<context>
    <name>FuncButtonWidget</name>
    <message>
        <source>启动</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>等待</source>
        <translation>Wait</translation>
    </message>
</context>
<context>
    <name>FuncWidget1</name>
    <message>
        <source>I am A</source>
        <translation>I am A</translation>
    </message>
    <message>
        <source>I am B</source>
        <translation>I am B</translation>
    </message>
    <message>
        <source>I am C</source>
        <translation>I am C</translation>
    </message>
    <message>
        <source>I am D</source>
        <translation>I am D</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>功能1</source>
        <translation>Function 1</translation>
    </message>
</context>
<context>
    <name>InstantChart</name>
    <message>
        <source>瞬时值</source>
        <translation>Instant</translation>
    </message>
</context>
<context>
    <name>LanguageMenu</name>
    <message>
        <source>简体中文</source>
        <translation>Chinese (Simplified)</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>跟随系统</source>
        <translation>System language</translation>
    </message>
    <message>
        <source>重新启动后生效</source>
        <translation>Takes effect after a restart</translation>
    </message>
</context>
<context>
    <name>LoginInfo</name>
    <message>
        <source>示例用户名</source>
        <translation>Sample user</translation>
    </message>
    <message>
        <source>身份:</source>
        <translation>Role:</translation>
    </message>
    <message>
        <source>工程师</source>
        <translation>Engineer</translation>
    </message>
    <message>
        <source>登录时间:</source>
        <translation>Logged in:</translation>
    </message>
    <message>
        <source>座右铭:</source>
        <translation>Motto:</translation>
    </message>
    <message>
        <source>尘世间寻找心灵的安慰</source>
        <translation>Calm amid the bustle</translation>
    </message>
</context>
<context>
    <name>LoginWidget</name>
    <message>
        <source>登录管理系统</source>
        <translation>Management System Login</translation>
    </message>
    <message>
        <source>记住账号</source>
        <translation>Remember account</translation>
    </message>
    <message>
        <source>记住密码</source>
        <translation>Remember password</translation>
    </message>
    <message>
        <source>角色：</source>
        <translation>Role:</translation>
    </message>
    <message>
        <source>员工</source>
        <translation>Staff</translation>
    </message>
    <message>
        <source>工程师</source>
        <translation>Engineer</translation>
    </message>
    <message>
        <source>主管</source>
        <translation>Supervisor</translation>
    </message>
    <message>
        <source>账号：</source>
        <translation>Account:</translation>
    </message>
    <message>
        <source>账号</source>
        <translation>Account</translation>
    </message>
    <message>
        <source>密码：</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>登录</source>
        <translation>Log in</translation>
    </message>
    <message>
        <source>返回</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>请输入您的账号ID.</source>
        <translation>Please enter your account ID.</translation>
    </message>
    <message>
        <source>请输入您的账号密码.</source>
        <translation>Please enter your password.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>windowName</source>
        <translation>Inspection Console</translation>
    </message>
    <message>
        <source>Unkown</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>style</source>
        <translation>Style</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>所选的语言将在程序下次启动时生效。</source>
        <translation>The chosen language takes effect at the next start.</translation>
    </message>
    <message>
        <source>ClickMe</source>
        <translation>Click me</translation>
    </message>
    <message>
        <source>相机</source>
        <translation>Cameras</translation>
    </message>
    <message>
        <source>What are you talking about?</source>
        <translation>What are you talking about?</translation>
    </message>
    <message>
        <source>日志</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>表格</source>
        <translation>Table</translation>
    </message>
    <message>
        <source>确认关闭程序?</source>
        <translation>Close the program?</translation>
    </message>
</context>
<context>
    <name>MomentDelegate</name>
    <message>
        <source>无画面</source>
        <translation>No picture</translation>
    </message>
    <message>
        <source>无法读取</source>
        <translation>Unreadable</translation>
    </message>
</context>
<context>
    <name>MomentStrip</name>
    <message>
        <source>NG 画面</source>
        <translation>NG moments</translation>
    </message>
    <message>
        <source>没有记录</source>
        <translation>None yet</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>在 NG 画面页查看这个相机的全部记录</source>
        <translation>Show all of this camera&apos;s moments on the NG moments page</translation>
    </message>
</context>
<context>
    <name>MomentsPage</name>
    <message>
        <source>NG 画面</source>
        <translation>NG moments</translation>
    </message>
    <message>
        <source>全部相机</source>
        <translation>All cameras</translation>
    </message>
    <message>
        <source>相机%1</source>
        <translation>Camera %1</translation>
    </message>
    <message>
        <source>全部原因</source>
        <translation>All reasons</translation>
    </message>
    <message>
        <source>全部时间</source>
        <translation>Any time</translation>
    </message>
    <message>
        <source>最近1小时</source>
        <translation>Last hour</translation>
    </message>
    <message>
        <source>最近24小时</source>
        <translation>Last 24 hours</translation>
    </message>
    <message>
        <source>最近7天</source>
        <translation>Last 7 days</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>把选中的画面和一份 CSV 复制到一个文件夹</source>
        <translation>Copy the selected pictures and a CSV into a folder</translation>
    </message>
    <message>
        <source>每个相机最近1小时 / 24小时的 NG 画面数</source>
        <translation>NG moments per camera in the last hour / 24 hours</translation>
    </message>
    <message>
        <source>共 %1 条</source>
        <translation>%1 in all</translation>
    </message>
    <message>
        <source>主码流</source>
        <translation>main stream</translation>
    </message>
    <message>
        <source>子码流</source>
        <translation>grid stream</translation>
    </message>
    <message>
        <source>这次判定时没有新的画面</source>
        <translation>No fresh picture at this verdict</translation>
    </message>
    <message>
        <source>画面文件无法读取</source>
        <translation>The picture file cannot be read</translation>
    </message>
    <message>
        <source>导出到</source>
        <translation>Export to</translation>
    </message>
    <message>
        <source>正在导出 %1 条……</source>
        <translation>Exporting %1…</translation>
    </message>
    <message>
        <source>已导出 %1 条、%2 张画面：%3</source>
        <translation>Exported %1 moments, %2 pictures: %3</translation>
    </message>
    <message>
        <source>导出未完成：%1</source>
        <translation>Export not finished: %1</translation>
    </message>
</context>
<context>
    <name>PieChart</name>
    <message>
        <source>良品</source>
        <translation>Good</translation>
    </message>
    <message>
        <source>坏品</source>
        <translation>Defective</translation>
    </message>
    <message>
        <source>未知</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>总数</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>XXX统计饼图</source>
        <translation>XXX statistics pie chart</translation>
    </message>
</context>
<context>
    <name>PopupMenu</name>
    <message>
        <source>功能开关</source>
        <translation>Functions</translation>
    </message>
    <message>
        <source>功能1</source>
        <translation>Function 1</translation>
    </message>
    <message>
        <source>功能2</source>
        <translation>Function 2</translation>
    </message>
    <message>
        <source>功能3</source>
        <translation>Function 3</translation>
    </message>
    <message>
        <source>返回</source>
        <translation>Back</translation>
    </message>
</context>
<context>
    <name>SampleLog</name>
    <message>
        <source>系统启动完成，相机一至相机十六已全部连接，当前采用十六画面布局，操作员可以开始巡检工作。</source>
        <translation>Start-up complete: cameras 1 to 16 are all connected, the 16-tile layout is in use, and the operator can begin the inspection round.</translation>
    </message>
    <message>
        <source>相机三报告曝光时间偏长，画面亮度高于设定范围，建议检查现场光源或适当调低曝光参数后重试。</source>
        <translation>Camera 3 reports a long exposure and a picture brighter than the set range; check the lighting on site or lower the exposure a little and try again.</translation>
    </message>
    <message>
        <source>相机七图像采集正常，本批次产品外观检测合格率为百分之九十九点二，未发现明显的划痕缺陷。</source>
        <translation>Camera 7 is capturing normally; 99.2 % of this batch passed the visual inspection, and no visible scratches were found.</translation>
    </message>
    <message>
        <source>相机十二连续三帧未收到图像数据，已自动尝试重新连接，请留意该相机的网络线路与供电状态。</source>
        <translation>Camera 12 received no image for three frames in a row and is reconnecting by itself; please check the camera&apos;s network cable and power supply.</translation>
    </message>
    <message>
        <source>操作员切换到深蓝主题并保存了当前画面布局，下次启动时将自动恢复本次的布局与主题。</source>
        <translation>The operator switched to the dark blue theme and saved the current layout; both come back at the next start.</translation>
    </message>
</context>
<context>
    <name>SetupWaitProgressBar</name>
    <message>
        <source>Starting, please wait</source>
        <translation>Starting, please wait</translation>
    </message>
</context>
<context>
    <name>SidePanel</name>
    <message>
        <source>夜班交接时，三号工位的光源亮度略有下降，已按规程重新标定并记录在案，请白班留意。
上午抽检的两百件样品中，有三件边缘存在细小毛刺，已隔离等待质检组人员复判。
请操作员在更换镜头后重新运行自检程序，确认每一路画面清晰无遮挡、无偏色。
若出现连续误报，先检查传送带速度与触发延时是否匹配，仍未解决再联系设备工程师。
本周计划停机保养一次，届时所有相机将暂停采集，请各班组提前安排好生产任务。
</source>
        <translation>At the night-shift handover the light at station 3 was slightly dimmer; it was recalibrated by the procedure and logged. Day shift, please keep an eye on it.
Of the 200 samples checked this morning, three have small burrs on an edge; they are set aside for the quality team to judge again.
After changing a lens, operators run the self-test again and make sure every channel is sharp, unobstructed and true in colour.
On repeated false alarms, first check that the conveyor speed matches the trigger delay; if that does not help, call the equipment engineer.
One maintenance stop is planned this week: all cameras pause capturing then, so every shift should plan its production ahead.
</translation>
    </message>
    <message>
        <source>功能</source>
        <translation>Functions</translation>
    </message>
    <message>
        <source>日志</source>
        <translation>Log</translation>
    </message>
</context>
<context>
    <name>StationClient</name>
    <message>
        <source>not started</source>
        <translation>not started</translation>
    </message>
    <message>
        <source>cannot make an event descriptor: %1</source>
        <translation>cannot make an event descriptor: %1</translation>
    </message>
    <message>
        <source>connecting to %1</source>
        <translation>connecting to %1</translation>
    </message>
    <message>
        <source>the MQTT library could not make a client</source>
        <translation>the MQTT library could not make a client</translation>
    </message>
    <message>
        <source>%1 %2: %3</source>
        <translation>%1 %2: %3</translation>
    </message>
    <message>
        <source>lost the connection to</source>
        <translation>lost the connection to</translation>
    </message>
    <message>
        <source>cannot connect to</source>
        <translation>cannot connect to</translation>
    </message>
    <message>
        <source>%1; offline since %2, next attempt in %3 s</source>
        <translation>%1; offline since %2, next attempt in %3 s</translation>
    </message>
    <message>
        <source>the broker refused the connection (%1)</source>
        <translation>the broker refused the connection (%1)</translation>
    </message>
    <message>
        <source>no answer within %1 s</source>
        <translation>no answer within %1 s</translation>
    </message>
    <message>
        <source>the host name cannot be resolved</source>
        <translation>the host name cannot be resolved</translation>
    </message>
    <message>
        <source>TLS: the broker&apos;s certificate is not trusted (not signed by %1, or not made out to %2)</source>
        <translation>TLS: the broker&apos;s certificate is not trusted (not signed by %1, or not made out to %2)</translation>
    </message>
    <message>
        <source>an authority of the system&apos;s store</source>
        <translation>an authority of the system&apos;s store</translation>
    </message>
    <message>
        <source>TLS handshake failed (%1)</source>
        <translation>TLS handshake failed (%1)</translation>
    </message>
    <message>
        <source>the broker refused the subscription to %1</source>
        <translation>the broker refused the subscription to %1</translation>
    </message>
    <message>
        <source>connected to %1, subscribed to %2</source>
        <translation>connected to %1, subscribed to %2</translation>
    </message>
    <message>
        <source>Station feed: the console fell behind the station; %1 messages dropped so far</source>
        <translation>Station feed: the console fell behind the station; %1 messages dropped so far</translation>
    </message>
</context>
<context>
    <name>StationFeedIndicator</name>
    <message>
        <source>站点数据：已连接</source>
        <translation>Station feed: connected</translation>
    </message>
    <message>
        <source>站点数据：正在连接</source>
        <translation>Station feed: connecting</translation>
    </message>
    <message>
        <source>站点数据：离线</source>
        <translation>Station feed: offline</translation>
    </message>
</context>
<context>
    <name>StationModel</name>
    <message>
        <source>信息</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>StationView</name>
    <message>
        <source>Unknow</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>Unkown</source>
        <translation>Unknown</translation>
    </message>
</context>
<context>
    <name>TableWidget</name>
    <message>
        <source>功能%1</source>
        <translation>Function %1</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>ThemeManager</name>
    <message>
        <source>dark_blue</source>
        <translation>Dark blue</translation>
    </message>
    <message>
        <source>dark_green</source>
        <translation>Dark green</translation>
    </message>
    <message>
        <source>dark_yellow_green</source>
        <translation>Dark yellow-green</translation>
    </message>
    <message>
        <source>light_blue</source>
        <translation>Light blue</translation>
    </message>
    <message>
        <source>light_green</source>
        <translation>Light green</translation>
    </message>
</context>
<context>
    <name>TreeWidget</name>
    <message>
        <source>A盘</source>
        <translation>Tray A</translation>
    </message>
    <message>
        <source>B盘</source>
        <translation>Tray B</translation>
    </message>
    <message>
        <source>C盘</source>
        <translation>Tray C</translation>
    </message>
    <message>
        <source>主体</source>
        <translation>Main</translation>
    </message>
    <message>
        <source>相机</source>
        <translation>Camera wall</translation>
    </message>
    <message>
        <source>图表</source>
        <translation>Charts</translation>
    </message>
    <message>
        <source>相机%1</source>
        <translation>Camera %1</translation>
    </message>
    <message>
        <source>NG画面</source>
        <translation>NG moments</translation>
    </message>
</context>
<context>
    <name>VideoView</name>
    <message>
        <source>未知的视频来源类型</source>
        <translation>Unknown kind of video source</translation>
    </message>
    <message>
        <source>视频地址格式错误</source>
        <translation>Malformed video address</translation>
    </message>
    <message>
        <source>未知的测试图案</source>
        <translation>Unknown test pattern</translation>
    </message>
    <message>
        <source>视频文件不存在</source>
        <translation>Video file not found</translation>
    </message>
    <message>
        <source>无法连接相机</source>
        <translation>Cannot reach the camera</translation>
    </message>
    <message>
        <source>相机无应答</source>
        <translation>The camera does not answer</translation>
    </message>
    <message>
        <source>相机上没有此视频流</source>
        <translation>The camera has no such stream</translation>
    </message>
    <message>
        <source>用户名或密码错误</source>
        <translation>Wrong user name or password</translation>
    </message>
    <message>
        <source>无法解码视频流</source>
        <translation>Cannot decode the stream</translation>
    </message>
    <message>
        <source>视频流已结束</source>
        <translation>The stream ended</translation>
    </message>
    <message>
        <source>没有画面</source>
        <translation>No picture</translation>
    </message>
    <message>
        <source>视频流出错</source>
        <translation>Stream error</translation>
    </message>
    <message>
        <source>%1 秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 分 %2 秒</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>%1 小时 %2 分</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>正在连接…</source>
        <translation>Connecting…</translation>
    </message>
    <message>
        <source>信号丢失</source>
        <translation>Signal lost</translation>
    </message>
    <message>
        <source>最后画面：%1前</source>
        <translation>Last picture: %1 ago</translation>
    </message>
    <message>
        <source>正在重新连接…</source>
        <translation>Reconnecting…</translation>
    </message>
    <message>
        <source>%1 秒后重新连接</source>
        <translation>Reconnecting in %1 s</translation>
    </message>
    <message>
        <source>无法播放</source>
        <translation>Cannot play</translation>
    </message>
    <message>
        <source>%1 秒后重试</source>
        <translation>Retrying in %1 s</translation>
    </message>
</context>
<context>
    <name>WallController</name>
    <message>
        <source>快照已保存：%1</source>
        <translation>Snapshot saved: %1</translation>
    </message>
    <message>
        <source>快照未保存：%1</source>
        <translation>Snapshot not saved: %1</translation>
    </message>
    <message>
        <source>恢复通道顺序</source>
        <translation>Natural channel order</translation>
    </message>
    <message>
        <source>轮巡</source>
        <translation>Tour</translation>
    </message>
    <message>
        <source>快照未保存：仍有快照在写入</source>
        <translation>Snapshot not saved: another one is still being written</translation>
    </message>
</context>
<context>
    <name>WallHelpOverlay</name>
    <message>
        <source>拖动画面</source>
        <translation>Drag a tile</translation>
    </message>
    <message>
        <source>与目标画面交换通道</source>
        <translation>Swap channels with the tile dropped on</translation>
    </message>
    <message>
        <source>拖动树中的相机</source>
        <translation>Drag a camera from the tree</translation>
    </message>
    <message>
        <source>在目标画面显示该通道</source>
        <translation>Show its channel on the tile dropped on</translation>
    </message>
    <message>
        <source>双击画面</source>
        <translation>Double-click a tile</translation>
    </message>
    <message>
        <source>单画面 / 恢复布局</source>
        <translation>Single tile / back to the layout</translation>
    </message>
    <message>
        <source>右键</source>
        <translation>Right click</translation>
    </message>
    <message>
        <source>布局菜单</source>
        <translation>Layout menu</translation>
    </message>
    <message>
        <source>快捷键</source>
        <translation>Shortcuts</translation>
    </message>
</context>
<context>
    <name>WallKeys</name>
    <message>
        <source>%1 画面</source>
        <translation>%1 tiles</translation>
    </message>
    <message>
        <source>下一组</source>
        <translation>Next group</translation>
    </message>
    <message>
        <source>上一组</source>
        <translation>Previous group</translation>
    </message>
    <message>
        <source>焦点左移</source>
        <translation>Focus left</translation>
    </message>
    <message>
        <source>焦点右移</source>
        <translation>Focus right</translation>
    </message>
    <message>
        <source>焦点上移</source>
        <translation>Focus up</translation>
    </message>
    <message>
        <source>焦点下移</source>
        <translation>Focus down</translation>
    </message>
    <message>
        <source>单画面 / 恢复布局</source>
        <translation>Single tile / back to the layout</translation>
    </message>
    <message>
        <source>关闭 / 恢复布局 / 退出全屏</source>
        <translation>Close / back to the layout / leave full screen</translation>
    </message>
    <message>
        <source>快捷键列表</source>
        <translation>List of shortcuts</translation>
    </message>
    <message>
        <source>全屏</source>
        <translation>Full screen</translation>
    </message>
    <message>
        <source>快照</source>
        <translation>Snapshot</translation>
    </message>
    <message>
        <source>轮巡</source>
        <translation>Tour</translation>
    </message>
</context>
</TS>
